#pragma once
// A small synthesiser for the default sounds: a score of notes played by a few simple instruments
// (plucked string, electric piano, music box, bell, pad, bass, brass, drums), a room reverb, and a
// writer of 16-bit PCM WAV files.
#include <QByteArray>
#include <QString>

#include <vector>

namespace assetgen::synth {

inline constexpr int kRate = 44100;
using Buffer = std::vector<float>;

enum class Voice { Pluck, Piano, MusicBox, Bell, Pad, Bass, Brass, Kick, Snare, Hat, Crash, Timpani };

struct Note {
    double beat;   // start, in beats from the beginning of the score
    double length; // in beats
    int pitch;     // MIDI note number (ignored by the drums)
    float velocity;
    Voice voice;
};

struct Score {
    double bpm = 120;
    double beats = 0; // length of the score in beats
    std::vector<Note> notes;

    void add(double beat, double length, int pitch, float velocity, Voice voice)
    {
        notes.push_back({beat, length, pitch, velocity, voice});
    }
    // Adds a line written as "E5:1 G5:0.5 r:0.5 ...": note name with octave (C4 = 60) or r for a rest,
    // and its length in beats; '|' separates bars for the reader and is skipped. Returns the beat after it.
    double line(double beat, const QString &text, float velocity, Voice voice, int transpose = 0);
};

// MIDI note number of a name such as "C4", "F#5" or "Bb3"; -1 when it is not one.
int pitchOf(const QString &name);

// Renders a score. A loop is played twice and the second pass kept, so that its end flows into its start;
// otherwise `tailSeconds` of ringing follow the last beat and the end fades out.
Buffer render(const Score &score, bool loop, double tailSeconds, float reverb);

// Scales the samples so the loudest one reaches `peak`.
void normalise(Buffer &samples, float peak);

// A mono 16-bit PCM WAV file at kRate.
QByteArray wav(const Buffer &samples);

} // namespace assetgen::synth
