// Splits an ICY stream (audio with a metadata block every metaint bytes) into audio bytes
// and metadata texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kaudio {

class IcyParser {
 public:
  using AudioFn = std::function<void(const uint8_t*, size_t)>;
  using MetaFn = std::function<void(const std::string&)>;
  IcyParser(size_t metaint, AudioFn audio, MetaFn meta)
      : metaint_(metaint), audio_(std::move(audio)), meta_(std::move(meta)), left_(metaint) {}
  void Feed(const uint8_t* data, size_t size);

 private:
  enum class State { Audio, Length, Meta };
  size_t metaint_;
  AudioFn audio_;
  MetaFn meta_;
  State state_ = State::Audio;
  size_t left_;
  std::string block_;
};

}  // namespace kaudio
