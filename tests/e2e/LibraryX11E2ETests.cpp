// The song library through the real player on a real X server (Xvfb, Qt's xcb platform), driven
// as a person would: two playlist lines selected with the mouse, "Add Selected Files To Library"
// from the line menu by keyboard, the library window hidden and shown with the deck's library
// button, and a double click on a library row handing the album to the playlist. Windows are
// found by their titles and their lists by the Default skin's colours on screen.
#include "DeckE2EFixture.h"

#include <future>

// Last: Xlib's macros (None, KeyPress, ...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

class TXServer {
 public:
  TXServer() : m_display(XOpenDisplay(nullptr)) {}
  ~TXServer() {
    if (m_display) XCloseDisplay(m_display);
  }
  bool Open() const { return m_display != nullptr; }

  // The top-level window with this title, as a rectangle on the screen (empty when none).
  bool FindWindow(const std::string& title, int& x, int& y, int& width, int& height) {
    Window root = DefaultRootWindow(m_display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes a{};
      if (XFetchName(m_display, children[i], &name) && name && title == name &&
          XGetWindowAttributes(m_display, children[i], &a) && a.map_state == IsViewable) {
        Window child = 0;
        XTranslateCoordinates(m_display, children[i], root, 0, 0, &x, &y, &child);
        width = a.width;
        height = a.height;
        found = true;
      }
      if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
  }

  // The longest run of pixels of one colour down the column x, from y over height pixels.
  bool LongestRun(unsigned long colour, int x, int y, int height, int& first, int& last) {
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, 1, static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return false;
    int best = 0, start = -1;
    for (int j = 0; j <= height; ++j) {
      const bool match = j < height && (XGetPixel(image, 0, j) & 0xFFFFFF) == colour;
      if (match && start < 0) start = j;
      if (!match && start >= 0) {
        if (j - start > best) best = j - start, first = y + start, last = y + j - 1;
        start = -1;
      }
    }
    XDestroyImage(image);
    return best > 0;
  }
  void Click(int x, int y, unsigned button, int clicks = 1, KeySym held = 0) {
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
    XFlush(m_display);
    Sleep(100);
    if (held) XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, held), True, CurrentTime);
    for (int i = 0; i < clicks; ++i) {
      XTestFakeButtonEvent(m_display, button, True, CurrentTime);
      XTestFakeButtonEvent(m_display, button, False, CurrentTime);
      XFlush(m_display);
      Sleep(40);
    }
    if (held) XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, held), False, CurrentTime);
    XFlush(m_display);
    Sleep(300);
  }
  void Key(KeySym key) {
    XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, key), True, CurrentTime);
    XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, key), False, CurrentTime);
    XFlush(m_display);
    Sleep(150);
  }

 private:
  Display* m_display;
};

// "#4AA5FF", the Default skin's list background, and "#c8d0d4", its library header colour.
constexpr unsigned long kListBackground = 0x4AA5FF;
constexpr unsigned long kLibraryHeaders = 0xC8D0D4;

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

class LibraryX11E2E : public DeckE2E {};

TEST_F(LibraryX11E2E, TwoPlaylistLinesIntoTheLibraryAndADoubleClickAddsTheirAlbum) {
  TXServer x;
  ASSERT_TRUE(x.Open()) << "needs an X server (run under xvfb-run)";
  const std::string one = Song("Band - One.wav", 2, 440), two = Song("Band - Two.wav", 2, 550),
                    other = Song("Other - Three.wav", 2, 660);
  Settings("Options_DeckLeft=600\nOptions_DeckTop=0\nOptions_EQVisibleState=0\nOptions_PLVisibleState=1\n"
           "Options_PLLeft=0\nOptions_PLTop=0\nOptions_DBVisibleState=0\nOptions_DBLeft=0\nOptions_DBTop=380\n"
           "Options_DBWidth=600\nOptions_DBHeight=300\n");
  player.Platform = "xcb";
  ASSERT_TRUE(player.Start({}));
  Ctl("add '" + one + "' '" + two + "' '" + other + "'");
  Sleep(1500);

  int px = 0, py = 0, pw = 0, ph = 0;
  ASSERT_TRUE(x.FindWindow("Playlist Editor", px, py, pw, ph));
  int l = 0, t = 0, b = 0;
  // The list: the longest stretch of its background down the middle of the window (the frame
  // has that colour too, in thin strips). Lines are 16 pixels high from its top.
  ASSERT_TRUE(x.LongestRun(kListBackground, px + pw / 2, py, ph, t, b));
  l = px + pw / 4;
  x.Click(l, t + 8, 1);
  x.Click(l, t + 24, 1, 1, XK_Shift_L);
  x.Click(l, t + 24, 3);
  for (int i = 0; i < 3; ++i) x.Key(XK_Down);  // View File Info, Open Containing Folder, Add Selected...
  x.Key(XK_Return);

  // The library window opened (reading the empty file) and holds the two songs; hiding it
  // writes them.
  int lx = 0, ly = 0, lw = 0, lh = 0;
  ASSERT_TRUE(WaitFor([&] { return x.FindWindow("Library", lx, ly, lw, lh); }));
  Ctl("send 0x9410");
  const std::string sdb = program + "/keldar3.SDB";
  ASSERT_TRUE(WaitFor([&] { return Occurrences(ReadTextFile(sdb), Utf16(".wav")) == 2; }))
      << "list from " << t << " to " << b << "; file: " << [&] {
           std::string ascii;
           for (char c : ReadTextFile(sdb)) if (c >= 0x20 && c < 0x7F) ascii += c;
           return ascii;
         }();
  const std::string file = ReadTextFile(sdb);
  EXPECT_EQ(Occurrences(file, Utf16(one)), 1);
  EXPECT_EQ(Occurrences(file, Utf16(two)), 1);
  EXPECT_EQ(Occurrences(file, Utf16(other)), 0);

  // Shown again: a double click on the first row hands the album (both songs) to the playlist.
  Ctl("send 0x9410");
  ASSERT_TRUE(WaitFor([&] { return x.FindWindow("Library", lx, ly, lw, lh); }));
  Sleep(500);
  // The header row: the longest stretch of the header colour down a column away from the
  // artwork (cell borders have that colour too, one pixel each); rows are 16 pixels high below.
  const int column = lx + lw * 2 / 5;
  ASSERT_TRUE(x.LongestRun(kLibraryHeaders, column, ly, lh, t, b));
  x.Click(column, b + 9, 1, 2);
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  const std::string playlist = ReadTextFile(program + "/keldar3.ZPL");
  EXPECT_EQ(Occurrences(playlist, Utf16(one)), 2);
  EXPECT_EQ(Occurrences(playlist, Utf16(two)), 2);
  EXPECT_EQ(Occurrences(playlist, Utf16(other)), 1);
  EXPECT_EQ(CountMessagesStartingWith("This is a CD track"), 0);
}

}  // namespace
