#include "audio/IcyParser.h"

#include <algorithm>

namespace kaudio {

void IcyParser::Feed(const uint8_t* data, size_t size) {
  if (metaint_ == 0) {
    if (size) audio_(data, size);
    return;
  }
  while (size) {
    switch (state_) {
      case State::Audio: {
        const size_t n = std::min(size, left_);
        audio_(data, n);
        data += n;
        size -= n;
        left_ -= n;
        if (left_ == 0) state_ = State::Length;
        break;
      }
      case State::Length:
        left_ = size_t(*data) * 16;
        ++data;
        --size;
        block_.clear();
        state_ = left_ ? State::Meta : State::Audio;
        if (!left_) left_ = metaint_;
        break;
      case State::Meta: {
        const size_t n = std::min(size, left_);
        block_.append(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        left_ -= n;
        if (left_ == 0) {
          // The block is padded with NULs to a multiple of 16.
          const size_t end = block_.find('\0');
          if (end != std::string::npos) block_.resize(end);
          if (!block_.empty()) meta_(block_);
          state_ = State::Audio;
          left_ = metaint_;
        }
        break;
      }
    }
  }
}

}  // namespace kaudio
