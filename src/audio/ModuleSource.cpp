#include "audio/ModuleSource.h"

#include <kaudio.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>

#include "audio/TagStore.h"

namespace kaudio {

namespace {
void QuietLog(const char*, void*) {}
int IgnoreErrors(int, void*) { return OPENMPT_ERROR_FUNC_RESULT_NONE; }

std::string MetaText(openmpt_module* mod, const char* key) {
  const char* v = openmpt_module_get_metadata(mod, key);
  std::string s = v ? v : "";
  openmpt_free_string(v);
  return s;
}
}  // namespace

std::unique_ptr<ModuleSource> ModuleSource::Open(std::vector<uint8_t> data, uint32_t flags,
                                                 uint32_t rate, int* error) {
  if (data.empty()) { *error = KAUDIO_ERROR_FILEFORM; return nullptr; }
  int err = 0;
  const char* msg = nullptr;
  const openmpt_module_initial_ctl ctls[] = {{"play.at_end", "stop"}, {nullptr, nullptr}};
  openmpt_module* mod = openmpt_module_create_from_memory2(
      data.data(), data.size(), &QuietLog, nullptr, &IgnoreErrors, nullptr, &err, &msg, ctls);
  openmpt_free_string(msg);
  if (!mod) { *error = KAUDIO_ERROR_FILEFORM; return nullptr; }
  auto src = std::unique_ptr<ModuleSource>(new ModuleSource());
  src->mod_ = mod;
  src->rate_ = rate ? rate : 44100;
  if (flags & KAUDIO_MUSIC_NONINTER)
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
  if (flags & KAUDIO_MUSIC_RAMPS)
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 10);
  else if (flags & KAUDIO_MUSIC_RAMP)
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 5);
  else
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
  // Protracker 1 behaviour: the Amiga resampler is the closest libopenmpt offers. It has no
  // FastTracker 2 or surround switches; those flags are accepted and change nothing.
  if (flags & KAUDIO_MUSIC_PT1MOD) openmpt_module_ctl_set_boolean(mod, "render.resampler.emulate_amiga", 1);
  const double seconds = openmpt_module_get_duration_seconds(mod);
  src->length_ = seconds > 0 ? int64_t(std::llround(seconds * src->rate_)) : -1;
  return src;
}

ModuleSource::~ModuleSource() {
  if (mod_) openmpt_module_destroy(mod_);
}

void ModuleSource::Attach(SourceEvents* events) {
  events->OnTags(KAUDIO_TAG_MUSIC_NAME, MetaText(mod_, "title"), 0);
  events->OnTags(KAUDIO_TAG_MUSIC_MESSAGE, MetaText(mod_, "message"), 0);
  const int inst = openmpt_module_get_num_instruments(mod_);
  for (int i = 0; i < inst && i < 256; ++i) {
    const char* n = openmpt_module_get_instrument_name(mod_, i);
    events->OnTags(KAUDIO_TAG_MUSIC_INST + uint32_t(i), n ? n : "", 0);
    openmpt_free_string(n);
  }
  const int samples = openmpt_module_get_num_samples(mod_);
  for (int i = 0; i < samples && i < 256; ++i) {
    const char* n = openmpt_module_get_sample_name(mod_, i);
    events->OnTags(KAUDIO_TAG_MUSIC_SAMPLE + uint32_t(i), n ? n : "", 0);
    openmpt_free_string(n);
  }
}

ReadResult ModuleSource::Read(float* dst, size_t frames, size_t* got) {
  *got = openmpt_module_read_interleaved_float_stereo(mod_, int32_t(rate_), frames, dst);
  position_ += *got;
  return *got ? ReadResult::Data : ReadResult::Ended;
}

bool ModuleSource::Seek(uint64_t frame) {
  const double s = openmpt_module_set_position_seconds(mod_, double(frame) / rate_);
  position_ = uint64_t(std::llround(s * rate_));
  return true;
}

void ModuleSource::SetPanSeparation(float value) {
  panSep_ = std::clamp(value, 0.0f, 100.0f);
  openmpt_module_set_render_param(mod_, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT,
                                  int32_t(std::lround(panSep_ * 2.0f)));
}

}  // namespace kaudio
