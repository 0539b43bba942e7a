#include "LadspaEffect.h"

#include <algorithm>

TLadspaChoice::TLadspaChoice(const TLadspaEffectInfo* effect) : Effect(effect) {
  const size_t n = effect ? effect->Controls.size() : 0;
  Values = std::make_unique<std::atomic<float>[]>(n);
  for (size_t i = 0; i < n; ++i) Values[i] = effect->Controls[i].Default;
}

void TLadspaRunner::Reset() {
  if (m_choice && m_choice->Effect) {
    const LADSPA_Descriptor* d = m_choice->Effect->Descriptor;
    for (LADSPA_Handle h : m_instances) {
      if (d->deactivate) d->deactivate(h);
      d->cleanup(h);
    }
  }
  m_instances.clear();
  m_ports.clear();
  m_choice = nullptr;
  m_channels = m_rate = 0;
  m_ready = false;
}

bool TLadspaRunner::Prepare(const TLadspaChoice* choice, uint32_t channels, uint32_t rate) {
  Reset();
  m_choice = choice;
  m_channels = channels;
  m_rate = rate;
  const TLadspaEffectInfo& effect = *choice->Effect;
  const LADSPA_Descriptor* d = effect.Descriptor;
  // A mono effect runs once per channel; a stereo effect once (a mono stream feeds both inputs).
  const size_t instances = effect.AudioChannels == 1 ? channels : 1;
  for (int c = 0; c < 2; ++c) {
    m_in[c].assign(kChunk, 0.0f);
    m_out[c].assign(kChunk, 0.0f);
  }
  for (size_t i = 0; i < instances; ++i) {
    LADSPA_Handle h = d->instantiate(d, rate);
    if (h == nullptr) return false;
    m_instances.push_back(h);
    m_ports.emplace_back(d->PortCount, 0.0f);
    auto& ports = m_ports.back();
    for (unsigned long p = 0; p < d->PortCount; ++p) d->connect_port(h, p, &ports[p]);
    if (effect.AudioChannels == 1) {
      d->connect_port(h, effect.AudioInputs[0], m_in[i].data());
      d->connect_port(h, effect.AudioOutputs[0], m_out[i].data());
    } else {
      for (int c = 0; c < 2; ++c) {
        d->connect_port(h, effect.AudioInputs[c], m_in[channels == 2 ? c : 0].data());
        d->connect_port(h, effect.AudioOutputs[c], m_out[c].data());
      }
    }
    if (d->activate) d->activate(h);
  }
  m_ready = true;
  return true;
}

void TLadspaRunner::Process(float* samples, uint32_t frames, uint32_t channels, uint32_t rate,
                            const TLadspaChoice* choice) {
  if (choice == nullptr || choice->Effect == nullptr || (channels != 1 && channels != 2) || rate == 0) return;
  if (choice != m_choice || channels != m_channels || rate != m_rate) Prepare(choice, channels, rate);
  if (!m_ready) return;
  const TLadspaEffectInfo& effect = *choice->Effect;
  const LADSPA_Descriptor* d = effect.Descriptor;
  for (auto& ports : m_ports)
    for (size_t i = 0; i < effect.Controls.size(); ++i)
      ports[effect.Controls[i].Port] = choice->Values[i].load(std::memory_order_relaxed);
  for (uint32_t done = 0; done < frames;) {
    const uint32_t n = std::min(kChunk, frames - done);
    float* block = samples + static_cast<size_t>(done) * channels;
    for (uint32_t f = 0; f < n; ++f)
      for (uint32_t c = 0; c < channels; ++c) m_in[c][f] = block[f * channels + c];
    for (LADSPA_Handle h : m_instances) d->run(h, n);
    for (uint32_t f = 0; f < n; ++f)
      for (uint32_t c = 0; c < channels; ++c) block[f * channels + c] = m_out[c][f];
    done += n;
  }
}
