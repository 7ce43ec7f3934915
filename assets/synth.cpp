#include "synth.h"

#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace assetgen::synth {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// One cycle of a fixed mix of harmonics (weight[h] for harmonic h), normalised to a peak of 1 and read
// with linear interpolation at a phase given in cycles. A plain sine is the mix {0, 1}.
template <size_t kSize>
class WaveTable {
public:
    explicit WaveTable(const std::vector<double> &weights)
    {
        double peak = 0;
        for (size_t i = 0; i <= kSize; ++i) {
            double sum = 0;
            for (size_t h = 1; h < weights.size(); ++h)
                sum += weights[h] * std::sin(kTwoPi * static_cast<double>(h * i) / kSize);
            m_table[i] = static_cast<float>(sum);
            peak = std::max(peak, std::abs(sum));
        }
        for (float &v : m_table)
            v = static_cast<float>(v / peak);
    }
    float operator()(double cycles) const
    {
        const double f = (cycles - std::floor(cycles)) * kSize;
        const auto i = static_cast<size_t>(f);
        const float t = static_cast<float>(f - static_cast<double>(i));
        return m_table[i] + (m_table[i + 1] - m_table[i]) * t;
    }

private:
    std::array<float, kSize + 1> m_table{};
};

using SineTable = WaveTable<4096>;
using HarmonicTable = WaveTable<2048>;

const SineTable &sine()
{
    static const SineTable table({0.0, 1.0});
    return table;
}

std::vector<double> rolloff(int harmonics, double exponent)
{
    std::vector<double> weights(static_cast<size_t>(harmonics + 1), 0.0);
    for (int h = 1; h <= harmonics; ++h)
        weights[static_cast<size_t>(h)] = 1.0 / std::pow(h, exponent);
    return weights;
}

double frequency(int pitch)
{
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// Writes `count` samples from `start` through `fn(i, t)` (t in seconds from the note's start).
template <typename Fn>
void play(Buffer &out, long start, long count, Fn &&fn)
{
    for (long i = 0; i < count; ++i) {
        const long at = start + i;
        if (at < 0)
            continue;
        if (at >= static_cast<long>(out.size()))
            break;
        out[static_cast<size_t>(at)] += fn(i, static_cast<double>(i) / kRate);
    }
}

// Linear attack, then 1 until `hold`, then a linear release of `release` seconds.
double envelope(double t, double attack, double hold, double release)
{
    if (t < attack)
        return t / attack;
    if (t < hold)
        return 1.0;
    return std::max(0.0, 1.0 - (t - hold) / release);
}

long samples(double seconds)
{
    return static_cast<long>(seconds * kRate);
}

void pluck(Buffer &out, long start, double f, double seconds, float v, quint32 seed)
{
    // Karplus-Strong: a burst of soft noise circulating in a delay line of one period. The averaging filter
    // delays by half a sample; an all-pass supplies the remaining fraction, so high notes stay in tune.
    const double period = kRate / f;
    const int length = std::max(2, static_cast<int>(std::floor(period - 0.6)));
    const double fraction = period - 0.5 - length;
    // All-pass coefficient giving exactly `fraction` samples of phase delay at the note's own frequency.
    const double omega = kTwoPi * f / kRate;
    const float coefficient = static_cast<float>(std::sin((1 - fraction) * omega / 2) / std::sin((1 + fraction) * omega / 2));
    std::vector<float> ring(static_cast<size_t>(length));
    QRandomGenerator random(seed);
    for (float &s : ring)
        s = static_cast<float>(random.generateDouble() * 2 - 1);
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 1; i < ring.size(); ++i)
            ring[i] = 0.5f * (ring[i] + ring[i - 1]);
    const double ringOut = std::max(seconds, 0.25) + 1.2;
    const float damping = f > 600 ? 0.9985f : 0.9965f;
    size_t pos = 0;
    float lastOut = 0, allpassIn = 0, allpassOut = 0;
    play(out, start, samples(ringOut), [&](long, double t) {
        const float s = ring[pos];
        const float averaged = 0.5f * (s + lastOut);
        lastOut = s;
        allpassOut = coefficient * averaged + allpassIn - coefficient * allpassOut;
        allpassIn = averaged;
        ring[pos] = damping * allpassOut;
        pos = (pos + 1) % ring.size();
        return s * v * 0.55f * static_cast<float>(envelope(t, 0.002, ringOut - 0.15, 0.15));
    });
}

void fm(Buffer &out, long start, double f, double seconds, float v, double ratio, double index, double indexDecay,
        double decay, double release, double level)
{
    const SineTable &s = sine();
    // Exponential decays kept as running products: one multiplication a sample instead of exp().
    const double indexStep = std::exp(-1.0 / (indexDecay * kRate));
    const double ampStep = std::exp(-1.0 / (decay * kRate));
    double idx = index;
    double amp = 1.0;
    play(out, start, samples(seconds + release), [&](long i, double t) {
        const double n = static_cast<double>(i) / kRate;
        const double modulator = s(f * ratio * n);
        const double carrier = s(f * n + (idx + 0.15) * modulator / kTwoPi);
        const double value = carrier * amp * envelope(t, 0.003, seconds, release) * v * level;
        idx *= indexStep;
        amp *= ampStep;
        return static_cast<float>(value);
    });
}

void pad(Buffer &out, long start, double f, double seconds, float v)
{
    static const HarmonicTable wave(rolloff(6, 1.4));
    const SineTable &s = sine();
    const double detune[] = {-0.0025, 0.0, 0.0025};
    play(out, start, samples(seconds + 0.6), [&](long i, double t) {
        const double n = static_cast<double>(i) / kRate;
        double sum = 0;
        for (double d : detune)
            sum += wave(f * (1 + d) * n);
        const double tremolo = 1.0 + 0.08 * s(0.3 * n);
        return static_cast<float>(sum * 0.17 * tremolo * v * envelope(t, 0.35, seconds, 0.6));
    });
}

void bass(Buffer &out, long start, double f, double seconds, float v)
{
    const SineTable &s = sine();
    play(out, start, samples(seconds + 0.06), [&](long i, double t) {
        const double n = f * static_cast<double>(i) / kRate;
        const double tone = s(n) + 0.35 * s(2 * n) + 0.12 * s(3 * n);
        const double amp = (0.55 + 0.45 * std::exp(-t / 0.18)) * envelope(t, 0.006, seconds, 0.06);
        return static_cast<float>(tone * amp * v * 0.5);
    });
}

void brass(Buffer &out, long start, double f, double seconds, float v)
{
    // The tone brightens as the note opens, as a horn's does: a dark and a bright wave, mixed by the envelope.
    static const HarmonicTable dark(rolloff(10, 2.2));
    static const HarmonicTable bright(rolloff(10, 0.9));
    const SineTable &s = sine();
    double phase = 0;
    play(out, start, samples(seconds + 0.1), [&](long, double t) {
        const double env = envelope(t, 0.05, seconds, 0.1) * (0.85 + 0.15 * std::exp(-t / 0.12));
        const double vibrato = t > 0.18 ? 1.0 + 0.004 * s(5.5 * t) : 1.0;
        phase += f * vibrato / kRate;
        const double brightness = env * env;
        const double tone = dark(phase) * (1 - brightness) + bright(phase) * brightness;
        return static_cast<float>(tone * env * 0.32 * v);
    });
}

// Noise for the drums, with a one-pole high-pass to keep its body out of the bass.
struct Noise {
    QRandomGenerator random;
    float previous = 0;
    float previousOut = 0;
    explicit Noise(quint32 seed) : random(seed) {}
    float white() { return static_cast<float>(random.generateDouble() * 2 - 1); }
    float high(float cut)
    {
        const float x = white();
        previousOut = cut * (previousOut + x - previous);
        previous = x;
        return previousOut;
    }
};

void drum(Buffer &out, long start, Voice voice, double f, float v, double seconds, quint32 seed)
{
    const SineTable &s = sine();
    Noise noise(seed);
    double phase = 0;
    switch (voice) {
    case Voice::Kick:
        play(out, start, samples(0.45), [&](long, double t) {
            phase += (46 + 120 * std::exp(-t / 0.03)) / kRate;
            const double click = t < 0.002 ? noise.white() * 0.4 : 0.0;
            return static_cast<float>((s(phase) * std::exp(-t / 0.2) + click) * v * 0.9);
        });
        break;
    case Voice::Snare:
        play(out, start, samples(0.3), [&](long, double t) {
            phase += 185.0 / kRate;
            const double body = s(phase) * std::exp(-t / 0.05) * 0.45;
            const double rattle = noise.high(0.85f) * std::exp(-t / 0.1);
            return static_cast<float>((body + rattle) * v * 0.55);
        });
        break;
    case Voice::Hat:
        play(out, start, samples(0.09), [&](long, double t) {
            return static_cast<float>(noise.high(0.5f) * std::exp(-t / 0.022) * v * 0.35);
        });
        break;
    case Voice::Crash:
        play(out, start, samples(2.6), [&](long, double t) {
            const double amp = std::min(1.0, t / 0.004) * std::exp(-t / 0.9);
            return static_cast<float>(noise.high(0.6f) * amp * v * 0.35);
        });
        break;
    case Voice::Timpani:
        play(out, start, samples(std::max(seconds, 0.3) + 1.4), [&](long, double t) {
            phase += f * (1.0 + 0.03 * std::exp(-t / 0.08)) / kRate;
            const double tone = s(phase) + 0.5 * s(phase * 1.5) + 0.25 * s(phase * 1.99);
            const double thump = noise.white() * std::exp(-t / 0.012) * 0.3;
            return static_cast<float>((tone * std::exp(-t / 0.7) + thump) * v * 0.55);
        });
        break;
    default:
        break;
    }
}

void renderNote(Buffer &out, const Note &note, double secondsPerBeat, double offsetSeconds, quint32 seed)
{
    const long start = samples(offsetSeconds + note.beat * secondsPerBeat);
    const double seconds = note.length * secondsPerBeat;
    const double f = frequency(note.pitch);
    switch (note.voice) {
    case Voice::Pluck:
        pluck(out, start, f, seconds, note.velocity, seed);
        break;
    case Voice::Piano:
        fm(out, start, f, seconds, note.velocity, 1.0, 1.8, 0.25, 1.1, 0.08, 0.45);
        break;
    case Voice::MusicBox:
        fm(out, start, f, std::max(seconds, 1.5), note.velocity, 4.0, 1.6, 0.08, 0.7, 0.2, 0.4);
        break;
    case Voice::Bell:
        fm(out, start, f, std::max(seconds, 1.6), note.velocity, 1.4, 2.4, 0.5, 0.9, 0.3, 0.42);
        break;
    case Voice::Pad:
        pad(out, start, f, seconds, note.velocity);
        break;
    case Voice::Bass:
        bass(out, start, f, seconds, note.velocity);
        break;
    case Voice::Brass:
        brass(out, start, f, seconds, note.velocity);
        break;
    default:
        drum(out, start, note.voice, f, note.velocity, seconds, seed);
        break;
    }
}

// A mono room: eight damped combs in parallel, then four all-passes.
void reverberate(Buffer &samples, float mix)
{
    if (mix <= 0)
        return;
    static const int combLengths[] = {1557, 1617, 1491, 1422, 1277, 1356, 1188, 1116};
    static const int allpassLengths[] = {225, 556, 441, 341};
    struct Comb {
        std::vector<float> line;
        size_t pos = 0;
        float store = 0;
    };
    std::vector<Comb> combs;
    for (int n : combLengths)
        combs.push_back({std::vector<float>(static_cast<size_t>(n)), 0, 0});
    std::vector<std::vector<float>> allpasses;
    std::vector<size_t> allpassPos(4, 0);
    for (int n : allpassLengths)
        allpasses.emplace_back(static_cast<size_t>(n), 0.0f);
    const float feedback = 0.8f;
    const float damp = 0.3f;
    for (float &sample : samples) {
        const float input = sample * 0.015f;
        float wet = 0;
        for (Comb &c : combs) {
            const float y = c.line[c.pos];
            c.store = y * (1 - damp) + c.store * damp;
            c.line[c.pos] = input + c.store * feedback;
            c.pos = (c.pos + 1) % c.line.size();
            wet += y;
        }
        for (size_t k = 0; k < allpasses.size(); ++k) {
            std::vector<float> &line = allpasses[k];
            const float buffered = line[allpassPos[k]];
            line[allpassPos[k]] = wet + buffered * 0.5f;
            wet = buffered - wet;
            allpassPos[k] = (allpassPos[k] + 1) % line.size();
        }
        sample = sample + wet * mix * 3.0f;
    }
}

} // namespace

int pitchOf(const QString &name)
{
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2)
        return -1;
    const QChar letter = name.at(0).toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('G'))
        return -1;
    int pitch = steps[letter.unicode() - 'A'];
    qsizetype i = 1;
    if (name.at(i) == QLatin1Char('#')) {
        ++pitch;
        ++i;
    } else if (name.at(i) == QLatin1Char('b')) {
        --pitch;
        ++i;
    }
    bool ok = false;
    const int octave = name.mid(i).toInt(&ok);
    return ok ? 12 * (octave + 1) + pitch : -1;
}

double Score::line(double beat, const QString &text, float velocity, Voice voice, int transpose)
{
    for (const QString &token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token == QLatin1String("|"))
            continue;
        const qsizetype colon = token.indexOf(QLatin1Char(':'));
        const double length = colon < 0 ? 1.0 : token.mid(colon + 1).toDouble();
        const QString name = token.left(colon);
        const int pitch = pitchOf(name);
        if (pitch >= 0)
            add(beat, length, pitch + transpose, velocity, voice);
        beat += length;
    }
    return beat;
}

Buffer render(const Score &score, bool loop, double tailSeconds, float reverb)
{
    const double secondsPerBeat = 60.0 / score.bpm;
    const double scoreSeconds = score.beats * secondsPerBeat;
    const int passes = loop ? 2 : 1;
    Buffer out(static_cast<size_t>(samples(scoreSeconds * passes + (loop ? 0 : tailSeconds))), 0.0f);
    quint32 seed = 1;
    for (int pass = 0; pass < passes; ++pass)
        for (const Note &note : score.notes)
            renderNote(out, note, secondsPerBeat, pass * scoreSeconds, seed++);
    reverberate(out, reverb);
    if (loop) {
        out.erase(out.begin(), out.begin() + samples(scoreSeconds));
    } else {
        const long fade = std::min<long>(samples(std::max(0.5, tailSeconds * 0.6)), static_cast<long>(out.size()));
        for (long i = 0; i < fade; ++i)
            out[out.size() - 1 - static_cast<size_t>(i)] *= static_cast<float>(i) / fade;
    }
    return out;
}

void normalise(Buffer &samples, float peak)
{
    float loudest = 0;
    for (float s : samples)
        loudest = std::max(loudest, std::abs(s));
    if (loudest <= 0)
        return;
    const float gain = peak / loudest;
    for (float &s : samples)
        s *= gain;
}

QByteArray wav(const Buffer &samples)
{
    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataBytes));
    auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    auto u16 = [&](quint16 v) {
        out.append(static_cast<char>(v & 0xff));
        out.append(static_cast<char>((v >> 8) & 0xff));
    };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.append("data", 4);
    u32(dataBytes);
    for (float s : samples) {
        const auto v = static_cast<qint16>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        u16(static_cast<quint16>(v));
    }
    return out;
}

} // namespace assetgen::synth
