// What the lyric band shows, apart from its window: which line each slot holds, how far the red
// fill has come and at what pace, and the messages in place of lyrics. The window measures
// texts for it, hands it the song's position at each update and draws the scene it composes.
// A line with a translation takes both slots: the original fills at the top, its translation
// stands beneath.
#pragma once

#include <functional>
#include <vector>

#include "framework/CString.h"
#include "framework/CStringW.h"
#include "lyrics/BandStyle.h"

class CLyc;

// The slots and what the band knows of the current song's lyrics.
struct BandState {
    CStringW strTopLine;  // text of the upper slot
    CStringW strBottomLine;
    bool bBottomTranslation = false;  // the lower slot holds the current line's translation, never filled
    CString strLrcMessage;            // shown instead of lyrics when none were found
    bool bLrcLoaded = false;          // the current song's lyrics were found and handed to the timeline
    bool bTopCurrent = true;          // the upper slot holds the line being filled
    int nTopFill = 0;                 // filled width of each slot in pixels
    int nBottomFill = 0;
    int nTopSeconds = 0;  // whole seconds that pace each slot's fill
    int nBottomSeconds = 0;
};

// Unknown: what the screen shows is not known (never drawn, or hidden since).
enum class BandKind { Message, Lyrics, Unknown };

// What the band shows: a message, or the two slots with the red part of the current one.
struct BandScene {
    BandKind kind = BandKind::Message;
    CString strMessage;
    CStringW arrText[2];
    int arrX[2] = {};
    int arrWidth[2] = {};
    int nRedSlot = -1;     // 0 the upper slot, 1 the lower, -1 none
    int nRed = 0;          // pixels of it drawn red
    bool bMoving = false;  // the red moves, or a line begins, with nothing else changing

    int RedIn(int nSlot) const { return nRedSlot == nSlot ? nRed : 0; }
    // Both would put the same pixels on the screen.
    bool SameDrawing(const BandScene& other) const;
};

class CBandModel {
public:
    // The width in pixels of a text's first nChars code units in the band's font.
    using Measure = std::function<int(const CStringW& str, int nChars)>;
    // What else stands on the band at an update.
    struct Situation {
        bool bPlaying = false;
        bool bTranslations = true;
        const CString* pNotice = nullptr;  // a notice in place of everything else
    };

    explicit CBandModel(CLyc& lyc) : m_lyc(lyc) {}

    // A new font or width measures and places every text again.
    void SetMeasure(Measure measure);
    void SetBandWidth(int nWidth);
    // New lyrics: the same text may stand for a line with other word timings.
    void ForgetShapes();
    int BandWidth() const { return m_nBandWidth; }
    const BandStyle& Style() const { return m_style; }
    void SetStyle(const BandStyle& style) { m_style = style; }

    BandState& State() { return m_state; }
    const BandState& State() const { return m_state; }

    // Both slots afresh from the line in effect at dPos (the first line before it), fills empty.
    void StartSlots(double dPos, bool bTranslations);
    // The scene at dPosMs, dPlayedMs of the song played since the last update.
    const BandScene& Compose(double dPosMs, double dPlayedMs, const Situation& situation);
    const BandScene& Scene() const { return m_scene; }

private:
    // A slot's text as the band's font lays it out; the word positions for a word-timed line.
    struct Shape {
        CStringW str;
        int nLine = -1;
        int nWidth = -1;  // below 0: to be measured
        std::vector<int> arrWordX;
    };

    void ResetFills();
    bool HasWords(int nLine) const;
    // The line in effect at lookup time t, right after GetCurrentLine; -1 before the first line.
    int LineAt(double t) const;
    double LastWordEnd(int nLine) const;
    double UntilNextLine(double t) const;
    // Returns the index of the word-timed line the current slot holds, -1 for none.
    int UpdateSlots(double dPos, bool bTranslations);
    bool HoldTranslation(int nLine, const CStringW& strCurrent, const CStringW& strTranslation, double dPos);
    void HandOverIfDue(int nLine, const CStringW& strCurrent, const CStringW& strNext);
    void ComposeLyrics(BandScene& scene, bool bInRange, int nWordLine, double dPos, double dPlayedMs);
    void FillPaced(BandScene& scene, int nCurrent, double dPlayedMs);
    const Shape& ShapeOf(int nSlot, const CStringW& str, int nLine);

    CLyc& m_lyc;
    Measure m_measure;
    int m_nBandWidth = 0;
    BandStyle m_style;
    BandState m_state;
    BandScene m_scene;
    Shape m_arrShape[2];
    int m_nWordLine = -1;        // the word-timed line the current slot held at the last update
    int m_nTranslatedLine = -1;  // the line whose translation the lower slot holds
    // The current slot's paced fill with its fraction of a pixel; the state's fill holds the
    // whole pixels, and a fill set there otherwise is taken over.
    double m_dFill = 0.0;
    // The slots started afresh since the last update: the fill counts from then.
    bool m_bFillsReset = false;
};
