#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "engine/KELDAR_StreamMetadata.h"

namespace {

// A library tag block: each line NUL-terminated, then an empty string.
std::string Block(std::initializer_list<std::string> lines) {
  std::string block;
  for (const auto& line : lines) block += line + '\0';
  block += '\0';
  return block;
}

TEST(StreamMetadata, MatchHeaderLineIgnoresCaseAndTrims) {
  std::string value = "stale";
  EXPECT_TRUE(MatchHeaderLine("icy-name:", "ICY-NAME:   Radio X  ", value));
  EXPECT_EQ(value, "Radio X");
  EXPECT_TRUE(MatchHeaderLine("icy-name:", "icy-name:", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(MatchHeaderLine("icy-name:", "x-icy-name: Y", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(MatchHeaderLine("icy-name:", "icy-nam", value));
  EXPECT_TRUE(MatchHeaderLine("Server:", "server:\tIcecast 2.4.4\r", value));
  EXPECT_EQ(value, "Icecast 2.4.4");
}

TEST(StreamMetadata, IcyHeadersFillTheStationAndBitrate) {
  TStreamMetadata data;
  const std::string block = Block({"ICY-NAME: Radio X ", "icy-genre:Jazz", "icy-url: http://x.example/",
                                   "icy-notice1:<BR>hello", "icy-notice2:two", "icy-metaint:16000",
                                   "icy-pub:1", "icy-br:128", "ice-audio-info: ignored here", "Server: none"});
  ParseICYHeaders(block.c_str(), data);
  EXPECT_EQ(data.Station.ServerName, "Radio X");
  EXPECT_TRUE(data.Station.ServerDataUpdated);
  EXPECT_EQ(data.Station.ServerGenre, "Jazz");
  EXPECT_EQ(data.Station.ServerURL, "http://x.example/");
  EXPECT_EQ(data.Station.ServerNotice1, "<BR>hello");
  EXPECT_EQ(data.Station.ServerNotice2, "two");
  EXPECT_EQ(data.Station.ServerMetaint, "16000");
  EXPECT_EQ(data.Station.ServerPublicOrPrivate, "Public Server");
  EXPECT_EQ(data.Station.ServerBitrate, "128");
  EXPECT_TRUE(data.BitrateSet);
  EXPECT_EQ(data.Bitrate, 128);
  // Lines outside the ICY list are skipped.
  EXPECT_EQ(data.Station.ServerICEAudioInfo, "");
  EXPECT_EQ(data.Station.ServerType, "");

  TStreamMetadata other;
  ParseICYHeaders(Block({"icy-pub:0"}).c_str(), other);
  EXPECT_EQ(other.Station.ServerPublicOrPrivate, "Private Server");
  ParseICYHeaders(Block({"icy-pub:yes", "icy-br:high"}).c_str(), other);
  EXPECT_EQ(other.Station.ServerPublicOrPrivate, "Unknown type");
  EXPECT_EQ(other.Bitrate, 0);
  EXPECT_EQ(other.Station.ServerBitrate, "high");
  EXPECT_FALSE(other.Station.ServerDataUpdated);
  ParseICYHeaders(Block({"icy-pub:2"}).c_str(), other);
  EXPECT_EQ(other.Station.ServerPublicOrPrivate, "Unknown type");

  // A null block changes nothing.
  ParseICYHeaders(nullptr, other);
  EXPECT_EQ(other.Station.ServerBitrate, "high");
}

TEST(StreamMetadata, HttpHeadersKeepTheEngineBitrate) {
  TStreamMetadata data;
  ParseHTTPHeaders(Block({"HTTP/1.0 200 OK", "Server: Icecast 2.4.4", "icy-name:Station",
                          "ice-audio-info: bitrate=128", "icy-description: Desc", "icy-br:128",
                          "icy-pub:0"}).c_str(),
                   data);
  EXPECT_EQ(data.Station.ServerType, "Icecast 2.4.4");
  EXPECT_EQ(data.Station.ServerName, "Station");
  EXPECT_TRUE(data.Station.ServerDataUpdated);
  EXPECT_EQ(data.Station.ServerICEAudioInfo, "bitrate=128");
  EXPECT_EQ(data.Station.ServerDescription, "Desc");
  EXPECT_EQ(data.Station.ServerBitrate, "0");
  EXPECT_EQ(data.Station.ServerPublicOrPrivate, "Private Server");
  EXPECT_FALSE(data.BitrateSet);
}

TEST(StreamMetadata, MetaBlocksGiveTheStreamTitle) {
  TStreamMetadata data;
  ParseMetaTags("StreamTitle='Artist - Song';StreamUrl='';", data);
  EXPECT_EQ(data.META.StreamTitle, "Artist - Song");
  ParseMetaTags("streamtitle='lower case';", data);
  EXPECT_EQ(data.META.StreamTitle, "lower case");
  // A URL field first, and a semicolon inside the title, still give the whole title.
  ParseMetaTags("StreamUrl='http://x/';StreamTitle='A; B - C';", data);
  EXPECT_EQ(data.META.StreamTitle, "A; B - C");
  ParseMetaTags("StreamTitle='';", data);
  EXPECT_EQ(data.META.StreamTitle, "");
  ParseMetaTags("StreamTitle='Unterminated", data);
  EXPECT_EQ(data.META.StreamTitle, "Unterminated");
  ParseMetaTags("StreamTitle=", data);
  EXPECT_EQ(data.META.StreamTitle, "");
  ParseMetaTags("StreamTitle='X';", data);
  ParseMetaTags(nullptr, data);
  EXPECT_EQ(data.META.StreamTitle, "");  // cleared, then nothing to read

  // Without StreamTitle= the block is read as Ogg comments.
  const std::string ogg = Block({"title=A", "artist=B"});
  ParseMetaTags(ogg.c_str(), data);
  EXPECT_EQ(data.META.StreamTitle, "B - A");
}

TEST(StreamMetadata, OggCommentsAndWmaTags) {
  TStreamMetadata data;
  ParseOggTags(Block({"ENCODER=libvorbis", "TITLE=Tune", "ARTIST=Band", "GENRE=Rock", "comment=Hi",
                      "TRACKNUMBER=3"}).c_str(),
               data);
  EXPECT_EQ(data.META.StreamTitle, "Band - Tune");
  EXPECT_EQ(data.Station.ServerGenre, "Rock");
  EXPECT_EQ(data.Station.ServerNotice1, "Hi");
  ParseOggTags(Block({"encoder=x"}).c_str(), data);
  EXPECT_EQ(data.META.StreamTitle, " - ");

  TStreamMetadata wma;
  ParseWMATags(Block({"author=Singer", "title=Hit", "WM/Genre=Pop", "Bitrate=131072"}).c_str(), wma);
  EXPECT_EQ(wma.META.StreamTitle, "Singer - Hit");
  EXPECT_TRUE(wma.BitrateSet);
  EXPECT_EQ(wma.Bitrate, 128);
  EXPECT_EQ(wma.Station.ServerBitrate, "131072");
  EXPECT_EQ(wma.Station.ServerGenre, "");
  ParseWMATags(Block({"Bitrate=fast"}).c_str(), wma);
  EXPECT_EQ(wma.Bitrate, 0);
  EXPECT_EQ(wma.META.StreamTitle, " - ");
}

TEST(StreamMetadata, SlotHandsTextsOverOnceToTheUIThread) {
  TStreamMetadataSlot slot;
  KELDAR_AUDIOVIDEO_API_EngineState state;
  state.Bitrate = 64;
  EXPECT_FALSE(slot.CopyTo(state));  // nothing new yet

  // Written on another thread, as the library's callbacks do.
  std::thread writer([&] {
    slot.Reset("http://radio.example/live");
    slot.SetStatusText("http://radio.example/live");
    const std::string icy = Block({"icy-name:Radio X", "icy-br:192"});
    slot.Update([&](TStreamMetadata& d) { ParseICYHeaders(icy.c_str(), d); });
    slot.Update([](TStreamMetadata& d) { ParseMetaTags("StreamTitle='One';", d); });
  });
  writer.join();
  EXPECT_TRUE(slot.CopyTo(state));
  EXPECT_EQ(state.Station.ServerURLStream, "http://radio.example/live");
  EXPECT_EQ(state.Station.ServerName, "Radio X");
  EXPECT_TRUE(state.Station.ServerDataUpdated);
  EXPECT_EQ(state.META.StreamTitle, "One");
  EXPECT_EQ(state.StatusText, "http://radio.example/live");
  EXPECT_EQ(state.Bitrate, 192);

  // The deck shows and clears; a title change must not raise the flag or reset the bitrate
  // and status text the deck changed.
  state.Station.ServerDataUpdated = false;
  state.StatusText.clear();
  state.Bitrate = 100;
  slot.Update([](TStreamMetadata& d) { ParseMetaTags("StreamTitle='Two';", d); });
  EXPECT_TRUE(slot.CopyTo(state));
  EXPECT_EQ(state.META.StreamTitle, "Two");
  EXPECT_FALSE(state.Station.ServerDataUpdated);
  EXPECT_EQ(state.StatusText, "");
  EXPECT_EQ(state.Bitrate, 100);
  EXPECT_FALSE(slot.CopyTo(state));

  // A new connection drops the old station, including a flag the deck never cleared.
  state.Station.ServerDataUpdated = true;
  slot.Reset("http://other.example/");
  EXPECT_TRUE(slot.CopyTo(state));
  EXPECT_EQ(state.Station.ServerName, "");
  EXPECT_EQ(state.Station.ServerURLStream, "http://other.example/");
  EXPECT_FALSE(state.Station.ServerDataUpdated);
  EXPECT_EQ(state.META.StreamTitle, "");
}

}  // namespace
