// Key codes as the command tables know them: the Windows virtual-key numbers (letters and
// digits are their upper-case character codes, F1 is 112, the media keys are 173..179).
// Qt keys are mapped to them here; a key without a number maps to 0.
#pragma once

// Virtual-key numbers the commands name.
enum : int {
  VK_F1_KEY = 112,
  VK_VOLUME_MUTE_KEY = 173,
  VK_VOLUME_DOWN_KEY = 174,
  VK_VOLUME_UP_KEY = 175,
  VK_MEDIA_NEXT_TRACK_KEY = 176,
  VK_MEDIA_PREV_TRACK_KEY = 177,
  VK_MEDIA_STOP_KEY = 178,
  VK_MEDIA_PLAY_PAUSE_KEY = 179,
};

// `qtKey` is a Qt::Key value; `keypad` is true when the key came from the numeric keypad
// (Qt::KeypadModifier), which has numbers of its own. Shifted symbols map to the key that
// carries them on a US layout ("!" is the "1" key), as Windows reports them.
int QtKeyToVirtualKey(int qtKey, bool keypad = false);
