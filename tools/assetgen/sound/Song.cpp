#include "sound/Song.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

namespace sound {

namespace {

int pitchClass(const std::string& s, size_t& i) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s.at(i))));
    if (c < 'a' || c > 'g')
        throw std::runtime_error("bad note name in '" + s + "'");
    int pc = base[c - 'a'];
    i++;
    while (i < s.size() && (s[i] == '#' || s[i] == 'b')) {
        pc += s[i] == '#' ? 1 : -1;
        i++;
    }
    return (pc + 12) % 12;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

}  // namespace

Chord parseChord(const std::string& symbol) {
    size_t i = 0;
    Chord c;
    c.root = pitchClass(symbol, i);
    std::string rest = symbol.substr(i);
    std::string slash;
    size_t at = rest.find('/');
    if (at != std::string::npos) {
        slash = rest.substr(at + 1);
        rest = rest.substr(0, at);
    }
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},          {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},  {"m7", {0, 3, 7, 10}},    {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},      {"dim", {0, 3, 6}},       {"add9", {0, 2, 4, 7}},
        {"madd9", {0, 2, 3, 7}},  {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},
        {"7sus4", {0, 5, 7, 10}}, {"aug", {0, 4, 8}},       {"m7b5", {0, 3, 6, 10}},
    };
    auto q = qualities.find(rest);
    if (q == qualities.end())
        throw std::runtime_error("unknown chord '" + symbol + "'");
    c.tones = q->second;
    c.bass = c.root;
    if (!slash.empty()) {
        size_t j = 0;
        c.bass = pitchClass(slash, j);
    }
    return c;
}

Song::Song(const std::string& name, int bpm, int stepsPerBar, int bars, int channels)
    : barSteps(stepsPerBar), barCount(bars),
      grid(static_cast<size_t>(stepsPerBar) * bars * channels), pans(channels, -1),
      chords(static_cast<size_t>(stepsPerBar) * bars, parseChord("C")) {
    module.name = name;
    module.channels = channels;
    module.speed = 6;
    module.bpm = bpm;
}

int Song::addInstrument(const XmInstrument& instrument) {
    module.instruments.push_back(instrument);
    return static_cast<int>(module.instruments.size());
}

void Song::setPan(int channel, int pan) {
    pans.at(channel) = pan;
}

XmCell& Song::cell(int step, int channel) {
    if (step < 0 || step >= totalSteps() || channel < 0 || channel >= module.channels)
        throw std::runtime_error("note outside the song");
    return grid[static_cast<size_t>(step) * module.channels + channel];
}

void Song::noteXm(int channel, int step, int xmNote, int instrument, int volume, int length) {
    if (xmNote < 1 || xmNote > 96)
        throw std::runtime_error("note out of range in " + module.name);
    XmCell& c = cell(step, channel);
    c.note = static_cast<uint8_t>(xmNote);
    c.instrument = static_cast<uint8_t>(instrument);
    // The piece's level scales every note; the loudest notes stop at the
    // top of the volume column, which evens the band out a little.
    int scaled = static_cast<int>(volume * gain + 0.5);
    c.volume = static_cast<uint8_t>(0x10 + std::clamp(scaled, 0, 64));
    if (pans[channel] >= 0 && c.effect == 0) {
        c.effect = 0x08;
        c.param = static_cast<uint8_t>(pans[channel]);
    }
    int end = step + length;
    if (length > 0 && end < totalSteps()) {
        XmCell& off = cell(end, channel);
        if (off.note == 0)
            off.note = XmKeyOff;
    }
}

void Song::note(int channel, int step, int midi, int instrument, int volume, int length) {
    noteXm(channel, step, midi - 11, instrument, volume, length);
}

void Song::effect(int channel, int step, int effect, int param) {
    XmCell& c = cell(step, channel);
    c.effect = static_cast<uint8_t>(effect);
    c.param = static_cast<uint8_t>(param);
}

void Song::setChords(int startBar, const std::string& progression) {
    int bar = startBar;
    for (const std::string& part : split(progression, '|')) {
        std::vector<std::string> symbols = words(part);
        if (symbols.empty())
            continue;
        int n = static_cast<int>(symbols.size());
        for (int k = 0; k < n; k++) {
            Chord c = parseChord(symbols[k]);
            int from = bar * barSteps + k * barSteps / n;
            int to = bar * barSteps + (k + 1) * barSteps / n;
            for (int s = from; s < to; s++)
                chords.at(s) = c;
        }
        bar++;
    }
}

const Chord& Song::chordAt(int step) const {
    return chords.at(std::clamp(step, 0, totalSteps() - 1));
}

const Chord& Song::chordAfter(int step) const {
    const Chord& now = chordAt(step);
    for (int s = step + 1; s < totalSteps(); s++) {
        const Chord& c = chords[s];
        if (c.root != now.root || c.tones != now.tones || c.bass != now.bass)
            return c;
    }
    return chords[restartBar * barSteps];
}

void Song::echo(int from, int to, int delay, double volumeScale) {
    for (int s = totalSteps() - 1 - delay; s >= 0; s--) {
        XmCell src = cell(s, from);
        if (src.note == 0)
            continue;
        XmCell& dst = cell(s + delay, to);
        dst.note = src.note;
        dst.instrument = src.instrument;
        if (src.volume)
            dst.volume = static_cast<uint8_t>(0x10 + static_cast<int>((src.volume - 0x10) * volumeScale));
        if (pans[to] >= 0 && src.note != XmKeyOff) {
            dst.effect = 0x08;
            dst.param = static_cast<uint8_t>(pans[to]);
        }
    }
}

std::vector<unsigned char> Song::build() const {
    const int barsPerPattern = 4;
    if (barCount % barsPerPattern || restartBar % barsPerPattern)
        throw std::runtime_error("song length must be whole patterns: " + module.name);
    XmModule m = module;
    const int rows = barSteps * barsPerPattern;
    const int ch = m.channels;
    for (int p = 0; p < barCount / barsPerPattern; p++) {
        XmPattern pattern(rows, ch);
        std::copy(grid.begin() + static_cast<long>(p) * rows * ch,
                  grid.begin() + static_cast<long>(p + 1) * rows * ch, pattern.cells.begin());
        int index = -1;
        for (size_t k = 0; k < m.patterns.size(); k++) {
            const std::vector<XmCell>& other = m.patterns[k].cells;
            if (std::equal(other.begin(), other.end(), pattern.cells.begin(),
                           [](const XmCell& a, const XmCell& b) {
                               return a.note == b.note && a.instrument == b.instrument &&
                                      a.volume == b.volume && a.effect == b.effect &&
                                      a.param == b.param;
                           })) {
                index = static_cast<int>(k);
                break;
            }
        }
        if (index < 0) {
            index = static_cast<int>(m.patterns.size());
            m.patterns.push_back(pattern);
        }
        m.order.push_back(index);
    }
    m.restart = restartBar / barsPerPattern;
    return writeXm(m);
}

int melody(Song& song, int channel, int instrument, int startBar, int volume,
           const std::string& notes, int transpose) {
    const int bar = song.stepsPerBar();
    int step = startBar * bar;
    int length = 4;
    int bars = 0;
    int lastNoteStep = -1;
    int lastPitch = 0;
    int lastVolume = volume;
    auto flush = [&](int endStep) {
        if (lastNoteStep >= 0)
            song.note(channel, lastNoteStep, lastPitch + transpose, instrument, lastVolume,
                      endStep - lastNoteStep);
        lastNoteStep = -1;
    };
    for (const std::string& part : split(notes, '|')) {
        std::vector<std::string> tokens = words(part);
        if (tokens.empty())
            continue;
        int barStart = step;
        for (std::string t : tokens) {
            int v = volume;
            while (!t.empty() && (t.back() == '!' || t.back() == '?')) {
                v = t.back() == '!' ? std::min(64, volume + 10) : volume * 2 / 3;
                t.pop_back();
            }
            size_t colon = t.find(':');
            if (colon != std::string::npos) {
                length = std::atoi(t.c_str() + colon + 1);
                t = t.substr(0, colon);
            }
            if (length <= 0)
                throw std::runtime_error("bad length in melody");
            if (t == "r") {
                flush(step);
            } else if (t == "~") {
                // tie: the running note goes on
            } else {
                flush(step);
                size_t i = 0;
                int pc = pitchClass(t, i);
                int octave = std::atoi(t.c_str() + i);
                lastPitch = 12 * (octave + 1) + pc;
                // Spelled-name corner cases: cb and b# cross the octave.
                if (std::tolower(static_cast<unsigned char>(t[0])) == 'c' && pc == 11)
                    lastPitch -= 12;
                if (std::tolower(static_cast<unsigned char>(t[0])) == 'b' && pc == 0)
                    lastPitch += 12;
                lastNoteStep = step;
                lastVolume = v;
            }
            step += length;
        }
        if (step - barStart != bar)
            throw std::runtime_error("melody bar " + std::to_string(startBar + bars) +
                                     " has " + std::to_string(step - barStart) + " steps");
        bars++;
    }
    flush(step);
    return bars;
}

void groove(Song& song, int channel, int instrument, int startBar, int bars,
            const std::string& pattern, int volume, int xmNote) {
    const int bar = song.stepsPerBar();
    if (static_cast<int>(pattern.size()) != bar)
        throw std::runtime_error("groove is not one bar: " + pattern);
    for (int b = startBar; b < startBar + bars; b++)
        for (int s = 0; s < bar; s++) {
            char c = pattern[s];
            int v = c == 'x' ? volume : c == 'o' ? volume * 3 / 4 : c == '.' ? volume * 2 / 5 : -1;
            if (v >= 0)
                song.noteXm(channel, b * bar + s, xmNote, instrument, v, 0);
        }
}

namespace {

int placeAbove(int pc, int low) {
    int n = low + ((pc - low) % 12 + 12) % 12;
    return n;
}

}  // namespace

void bassLine(Song& song, int channel, int instrument, int startBar, int bars,
              const std::string& pattern, int lowNote, int volume) {
    const int bar = song.stepsPerBar();
    if (static_cast<int>(pattern.size()) != bar)
        throw std::runtime_error("bass pattern is not one bar: " + pattern);
    for (int b = startBar; b < startBar + bars; b++) {
        int s = 0;
        while (s < bar) {
            char c = pattern[s];
            int len = 1;
            while (s + len < bar && pattern[s + len] == '-')
                len++;
            int step = b * bar + s;
            const Chord& chord = song.chordAt(step);
            int root = placeAbove(chord.bass, lowNote);
            int pitch = -1;
            switch (c) {
            case 'R': pitch = root; break;
            case 'O': pitch = root + 12; break;
            case 'F': pitch = placeAbove((chord.root + 7) % 12, root); break;
            case 'T': pitch = placeAbove((chord.root + chord.tones[1]) % 12, root); break;
            case 'A': pitch = placeAbove(song.chordAfter(step).bass, lowNote) - 1; break;
            default: break;
            }
            if (pitch >= 0) {
                int v = s == 0 ? volume : volume * 7 / 8;
                // Short of the full length, so the release can breathe.
                song.note(channel, step, pitch, instrument, v, std::max(1, len - (len > 2 ? 1 : 0)));
            }
            s += len;
        }
    }
}

void padChords(Song& song, const int channels[3], int instrument, int startBar, int bars,
               const std::string& rhythm, int low, int volume) {
    const int bar = song.stepsPerBar();
    if (static_cast<int>(rhythm.size()) != bar)
        throw std::runtime_error("pad rhythm is not one bar: " + rhythm);
    std::vector<int> previous;
    for (int b = startBar; b < startBar + bars; b++) {
        for (int s = 0; s < bar; s++) {
            char c = rhythm[s];
            if (c != 'x' && c != 'o')
                continue;
            int len = 1;
            while (s + len < bar && rhythm[s + len] == '-')
                len++;
            int step = b * bar + s;
            const Chord& chord = song.chordAt(step);
            // Keep root, third and the colour tone (seventh, sixth, ninth) when
            // there are four; the fifth goes first.
            std::vector<int> pcs;
            for (size_t k = 0; k < chord.tones.size(); k++) {
                if (chord.tones.size() > 3 && chord.tones[k] == 7)
                    continue;
                pcs.push_back((chord.root + chord.tones[k]) % 12);
            }
            pcs.resize(3);
            // Every inversion within range; pick the one that moves least.
            std::vector<int> best;
            int bestCost = 1 << 30;
            for (int inv = 0; inv < 3; inv++) {
                for (int base = low; base < low + 12; base++) {
                    if (base % 12 != pcs[inv])
                        continue;
                    std::vector<int> v = {base};
                    for (int k = 1; k < 3; k++)
                        v.push_back(placeAbove(pcs[(inv + k) % 3], v.back() + 1));
                    if (v.back() > low + 19)
                        continue;
                    int cost = 0;
                    if (previous.empty())
                        cost = std::abs(v[0] - (low + 4));
                    else
                        for (int k = 0; k < 3; k++)
                            cost += std::abs(v[k] - previous[k]);
                    if (cost < bestCost) {
                        bestCost = cost;
                        best = v;
                    }
                }
            }
            previous = best;
            int v = c == 'x' ? volume : volume * 3 / 4;
            int hold = std::max(1, len - 1);
            for (int k = 0; k < 3; k++)
                song.note(channels[k], step, best[k], instrument, v, hold);
            s += len - 1;
        }
    }
}

void arpeggio(Song& song, int channel, int instrument, int startBar, int bars,
              const std::string& pattern, int low, int volume) {
    const int bar = song.stepsPerBar();
    if (static_cast<int>(pattern.size()) != bar)
        throw std::runtime_error("arpeggio is not one bar: " + pattern);
    for (int b = startBar; b < startBar + bars; b++) {
        for (int s = 0; s < bar; s++) {
            char c = pattern[s];
            if (!std::isdigit(static_cast<unsigned char>(c)))
                continue;
            int len = 1;
            while (s + len < bar && pattern[s + len] == '-')
                len++;
            int step = b * bar + s;
            const Chord& chord = song.chordAt(step);
            std::vector<int> ladder;
            int base = placeAbove(chord.root, low - 12);
            for (int octave = 0; ladder.size() < 12; octave++)
                for (int t : chord.tones) {
                    int n = base + t + 12 * octave;
                    if (n >= low)
                        ladder.push_back(n);
                }
            std::sort(ladder.begin(), ladder.end());
            int v = s % 4 == 0 ? volume : volume * 4 / 5;
            song.note(channel, step, ladder[c - '0'], instrument, v, len);
        }
    }
}

}  // namespace sound
