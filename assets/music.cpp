#include "music.h"

#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace assetgen::music {

using synth::Buffer;
using synth::Score;
using synth::Voice;

namespace {

// Pitch class (0 = C) and quality of a chord symbol such as "C", "Am", "F#m" or "Bb".
struct Chord {
    int root = 0;
    bool minor = false;
};

Chord chordOf(const QString &symbol)
{
    Chord c;
    c.minor = symbol.endsWith(QLatin1Char('m'));
    const QString name = c.minor ? symbol.chopped(1) : symbol;
    c.root = ((synth::pitchOf(name + QLatin1Char('4')) - 60) % 12 + 12) % 12;
    return c;
}

// The three chord tones placed between `low` (inclusive) and `low` + 12.
std::vector<int> voicing(const Chord &c, int low)
{
    std::vector<int> tones;
    for (int interval : {0, c.minor ? 3 : 4, 7}) {
        int pitch = c.root + interval;
        while (pitch < low)
            pitch += 12;
        while (pitch >= low + 12)
            pitch -= 12;
        tones.push_back(pitch);
    }
    std::sort(tones.begin(), tones.end());
    return tones;
}

int bassNote(const Chord &c, int low)
{
    int pitch = c.root;
    while (pitch < low)
        pitch += 12;
    return pitch;
}

QStringList symbols(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A bright pop groove in C: electric piano, plucked lead, bass and a light kit.
Buffer loopA()
{
    Score s;
    s.bpm = 116;
    const QStringList chords = symbols("C G Am F C G F G Am Em F C Dm G C G");
    s.beats = chords.size() * 4.0;
    for (qsizetype bar = 0; bar < chords.size(); ++bar) {
        const double b = bar * 4.0;
        const Chord c = chordOf(chords[bar]);
        for (int t : voicing(c, 55)) {
            for (auto [beat, length] : {std::pair{0.0, 1.0}, {1.5, 0.5}, {2.5, 1.0}, {3.5, 0.5}})
                s.add(b + beat, length, t, 0.3f, Voice::Piano);
            s.add(b, 4, t + 12, 0.14f, Voice::Pad);
        }
        const int root = bassNote(c, 36);
        for (auto [beat, length, up] : {std::tuple{0.0, 1.0, 0}, {1.5, 0.5, 0}, {2.0, 1.0, 0}, {3.0, 0.5, 0}, {3.5, 0.5, 12}})
            s.add(b + beat, length, root + up, 0.75f, Voice::Bass);
        for (double k : {0.0, 1.5, 2.0})
            s.add(b + k, 0.5, 0, 0.8f, Voice::Kick);
        for (double k : {1.0, 3.0})
            s.add(b + k, 0.5, 0, 0.55f, Voice::Snare);
        for (int k = 0; k < 8; ++k)
            s.add(b + k * 0.5, 0.25, 0, k % 2 ? 0.5f : 0.3f, Voice::Hat);
    }
    const QString melody = QStringLiteral(
        "E5:1 G5:1 G5:1.5 E5:0.5 | D5:1 G5:1 B5:1.5 A5:0.5 | C6:1 B5:0.5 A5:0.5 E5:2 | F5:1 A5:1 G5:1 F5:1 | "
        "E5:1 G5:1 C6:1.5 D6:0.5 | B5:1 G5:1 D5:2 | A5:1 C6:1 A5:1 F5:1 | G5:3 r:1 | "
        "A5:1 C6:1 E6:1.5 D6:0.5 | B5:1 G5:1 E5:2 | F5:1 A5:1 C6:1 A5:1 | G5:1 E5:1 C5:2 | "
        "D5:1 F5:1 A5:1.5 G5:0.5 | G5:1 F5:1 D5:2 | E5:1 G5:1 C6:2 | B5:1 A5:1 G5:1 D5:1");
    s.line(0, melody, 0.8f, Voice::Pluck);
    s.line(0, melody, 0.16f, Voice::MusicBox);
    return synth::render(s, true, 0, 0.2f);
}

// A calm pentatonic air in D: plucked zither lead over rolling arpeggios and soft strings.
Buffer loopS()
{
    Score s;
    s.bpm = 72;
    const QStringList chords = symbols("D Bm G A D Bm Em A G D");
    s.beats = chords.size() * 4.0;
    for (qsizetype bar = 0; bar < chords.size(); ++bar) {
        const double b = bar * 4.0;
        const Chord c = chordOf(chords[bar]);
        const int root = bassNote(c, 38);
        const int third = c.minor ? 3 : 4;
        const int pattern[] = {0, 7, 12, 12 + third, 19, 12 + third, 12, 7};
        for (int k = 0; k < 8; ++k)
            s.add(b + k * 0.5, 0.5, root + pattern[k], k == 0 ? 0.5f : 0.34f, Voice::Pluck);
        s.add(b, 4, root - 12 < 31 ? root : root - 12, 0.35f, Voice::Bass);
        for (int t : voicing(c, 62))
            s.add(b, 4, t, 0.18f, Voice::Pad);
    }
    const QString melody = QStringLiteral(
        "A4:1 B4:0.5 D5:0.5 E5:1.5 D5:0.5 | F#5:1 E5:0.5 D5:0.5 B4:2 | D5:1 E5:1 B4:0.5 A4:0.5 B4:1 | A4:3 r:1 | "
        "F#5:1 A5:1 B5:0.5 A5:0.5 F#5:1 | E5:1 F#5:0.5 E5:0.5 D5:2 | B4:1 D5:1 E5:1 F#5:0.5 E5:0.5 | E5:3 r:1 | "
        "D5:1 B4:1 A4:1 B4:0.5 D5:0.5 | D5:4");
    s.line(0, melody, 0.95f, Voice::Pluck, 12);
    s.line(0, melody, 0.12f, Voice::Pad);
    // Glissandi up the pentatonic scale close the phrases.
    const int run[] = {74, 76, 78, 81, 83, 86, 88, 90};
    for (double at : {12.0, 28.0}) {
        for (int k = 0; k < 8; ++k)
            s.add(at + 3 + k * 0.125, 0.5, run[k], 0.35f + 0.04f * k, Voice::Pluck);
    }
    return synth::render(s, true, 0, 0.32f);
}

// An energetic march in G: brass lead and stabs, driving bass, full kit.
Buffer loopD()
{
    Score s;
    s.bpm = 132;
    const QStringList chords = symbols("G D Em C G D C D Em C G D C D G G");
    s.beats = chords.size() * 4.0;
    for (qsizetype bar = 0; bar < chords.size(); ++bar) {
        const double b = bar * 4.0;
        const Chord c = chordOf(chords[bar]);
        for (int t : voicing(c, 55)) {
            for (auto [beat, length] : {std::pair{0.0, 0.4}, {1.5, 0.4}, {3.0, 0.8}})
                s.add(b + beat, length, t, 0.3f, Voice::Brass);
            s.add(b, 4, t + 12, 0.12f, Voice::Pad);
        }
        const int root = bassNote(c, 31);
        for (int k = 0; k < 8; ++k)
            s.add(b + k * 0.5, 0.45, root + (k == 7 ? 7 : 0), 0.65f, Voice::Bass);
        for (int k = 0; k < 4; ++k)
            s.add(b + k, 0.5, 0, 0.85f, Voice::Kick);
        for (double k : {1.0, 3.0})
            s.add(b + k, 0.5, 0, 0.6f, Voice::Snare);
        for (int k = 0; k < 16; ++k)
            s.add(b + k * 0.25, 0.2, 0, k % 4 == 2 ? 0.5f : 0.22f, Voice::Hat);
        if (bar % 8 == 7)
            for (int k = 0; k < 4; ++k)
                s.add(b + 3 + k * 0.25, 0.25, 0, 0.3f + 0.1f * k, Voice::Snare);
        if (bar % 8 == 0)
            s.add(b, 2, 0, 0.5f, Voice::Crash);
    }
    const QString melody = QStringLiteral(
        "G4:0.5 G4:0.5 B4:0.5 D5:0.5 G5:1.5 D5:0.5 | F#5:1 E5:0.5 D5:0.5 A4:2 | B4:0.5 B4:0.5 E5:0.5 G5:0.5 B5:1.5 G5:0.5 | "
        "A5:1 G5:0.5 E5:0.5 C5:2 | D5:1 G5:1 B5:1 A5:0.5 G5:0.5 | A5:1 F#5:1 D5:2 | E5:1 G5:1 C6:1 B5:0.5 A5:0.5 | A5:3 r:1 | "
        "E5:0.5 E5:0.5 G5:0.5 B5:0.5 E6:1.5 D6:0.5 | C6:1 B5:0.5 A5:0.5 G5:2 | B5:1 A5:0.5 G5:0.5 D5:1 G5:1 | "
        "F#5:1 A5:1 D6:2 | E6:1 D6:0.5 C6:0.5 G5:1 E5:1 | F#5:1 A5:1 D6:1 C6:1 | B5:1.5 A5:0.5 G5:2 | "
        "G5:0.5 D5:0.5 B4:0.5 D5:0.5 G5:2");
    s.line(0, melody, 0.7f, Voice::Brass);
    s.line(0, melody, 0.25f, Voice::Pluck);
    return synth::render(s, true, 0, 0.18f);
}

// A gentle waltz in F: music-box tune, bass on one, piano on two and three.
Buffer loopF()
{
    Score s;
    s.bpm = 100;
    const QStringList chords = symbols("F C Dm Bb F C Bb C Dm Am Bb F Gm C F F");
    s.beats = chords.size() * 3.0;
    for (qsizetype bar = 0; bar < chords.size(); ++bar) {
        const double b = bar * 3.0;
        const Chord c = chordOf(chords[bar]);
        s.add(b, 1, bassNote(c, 41), 0.6f, Voice::Bass);
        for (int t : voicing(c, 57)) {
            s.add(b + 1, 0.8, t, 0.22f, Voice::Piano);
            s.add(b + 2, 0.8, t, 0.2f, Voice::Piano);
            s.add(b, 3, t, 0.12f, Voice::Pad);
        }
    }
    const QString melody = QStringLiteral(
        "C5:1 F5:1 A5:1 | G5:2 E5:1 | F5:1 A5:1 D6:1 | C6:2 Bb5:1 | A5:1 C6:1 A5:1 | G5:1 E5:1 C5:1 | "
        "D5:1 F5:1 Bb5:1 | G5:3 | D6:1 C6:1 A5:1 | C6:1 A5:1 E5:1 | Bb5:1 A5:1 G5:1 | A5:2 F5:1 | "
        "G5:1 Bb5:1 D6:1 | C6:1 G5:1 E5:1 | F5:3 | F5:1 E5:1 D5:1");
    s.line(0, melody, 0.85f, Voice::MusicBox);
    s.line(0, melody, 0.3f, Voice::Pluck);
    return synth::render(s, true, 0, 0.3f);
}

} // namespace

Buffer tick()
{
    // A wood block: two short resonances and a click.
    Buffer out(static_cast<size_t>(synth::kRate * 0.12), 0.0f);
    QRandomGenerator random(7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / synth::kRate;
        const double body = std::sin(2 * std::numbers::pi * 1850 * t) * std::exp(-t / 0.012)
            + 0.5 * std::sin(2 * std::numbers::pi * 2950 * t) * std::exp(-t / 0.007);
        const double click = t < 0.0015 ? (random.generateDouble() * 2 - 1) * 0.6 : 0.0;
        out[i] = static_cast<float>(body + click);
    }
    synth::normalise(out, 0.85f);
    return out;
}

Buffer timeUp()
{
    Score s;
    s.bpm = 60;
    s.beats = 0.9;
    s.line(0, QStringLiteral("G5:0.28 E5:0.28 C5:1"), 0.9f, Voice::Bell);
    s.add(0.56, 1, 84, 0.25f, Voice::MusicBox);
    Buffer out = synth::render(s, false, 0.65, 0.12f);
    synth::normalise(out, 0.9f);
    return out;
}

Buffer backgroundLoop(QChar key)
{
    Buffer out;
    switch (key.toUpper().unicode()) {
    case 'S':
        out = loopS();
        break;
    case 'D':
        out = loopD();
        break;
    case 'F':
        out = loopF();
        break;
    default:
        out = loopA();
        break;
    }
    synth::normalise(out, 0.89f);
    return out;
}

Buffer awardMusic()
{
    Score s;
    s.bpm = 100;
    // One bar of timpani roll, then twelve bars of fanfare; the last chord rings out.
    const QStringList chords = symbols("C C F G C Am F Dm G C F G C");
    s.beats = chords.size() * 4.0;
    for (int k = 0; k < 32; ++k)
        s.add(k * 0.125, 0.125, 36, 0.15f + 0.02f * k, Voice::Timpani);
    s.add(0, 2, 0, 0.7f, Voice::Crash);
    for (qsizetype bar = 1; bar < chords.size(); ++bar) {
        const double b = bar * 4.0;
        const Chord c = chordOf(chords[bar]);
        const bool last = bar == chords.size() - 1;
        for (int t : voicing(c, 53)) {
            s.add(b, last ? 4 : 3.8, t, 0.3f, Voice::Brass);
            s.add(b, 4, t + 12, 0.2f, Voice::Pad);
        }
        const int root = bassNote(c, 36);
        s.add(b, 4, root, 0.5f, Voice::Bass);
        s.add(b, 1, root, 0.7f, Voice::Timpani);
        s.add(b + 2, 1, root + 7 > 47 ? root - 5 : root + 7, 0.55f, Voice::Timpani);
        if (!last) {
            for (double k : {0.0, 0.75, 1.0, 1.5, 2.0, 2.75, 3.0, 3.25, 3.5})
                s.add(b + k, 0.25, 0, k == 0.0 || k == 2.0 ? 0.4f : 0.22f, Voice::Snare);
        } else {
            for (int k = 0; k < 24; ++k)
                s.add(b + k * 0.125, 0.125, root, 0.2f + 0.02f * k, Voice::Timpani);
        }
        if (bar == 1 || bar == 5 || bar == 9 || last)
            s.add(b, 2, 0, 0.6f, Voice::Crash);
    }
    const QString melody = QStringLiteral(
        "C5:0.75 C5:0.25 C5:0.75 C5:0.25 G5:2 | A5:0.75 G5:0.25 F5:0.75 A5:0.25 C6:2 | "
        "B5:0.75 A5:0.25 G5:0.75 B5:0.25 D6:1.5 B5:0.5 | C6:3 r:1 | E5:1 A5:1 C6:1.5 B5:0.5 | A5:1 F5:1 C6:2 | "
        "D6:1 C6:0.5 A5:0.5 F5:1 A5:1 | G5:3 r:1 | C5:0.75 C5:0.25 E5:0.75 G5:0.25 C6:2 | "
        "A5:1 C6:1 D6:1 C6:1 | B5:1 G5:1 D6:2 | C6:4");
    s.line(4, melody, 0.8f, Voice::Brass);
    s.line(4, melody, 0.35f, Voice::Brass, -12);
    Buffer out = synth::render(s, false, 3.5, 0.25f);
    synth::normalise(out, 0.89f);
    return out;
}

} // namespace assetgen::music
