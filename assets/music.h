#pragma once
// The default sounds of "音效/": the countdown tick, the time-up chime, four background loops for the
// slogan screen's keys A, S, D, F and the award music, composed here and rendered by the synthesiser.
#include "synth.h"

#include <QChar>

namespace assetgen::music {

synth::Buffer tick();      // a short wood-block tick
synth::Buffer timeUp();    // a descending three-bell chime, about 1.5 s
// The background loop of key 'A', 'S', 'D' or 'F' (each 25 to 35 s, each in its own style).
synth::Buffer backgroundLoop(QChar key);
synth::Buffer awardMusic(); // a brass fanfare with timpani, about 35 s

} // namespace assetgen::music
