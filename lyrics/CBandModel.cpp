#include "lyrics/CBandModel.h"

#include <algorithm>

#include "lyrics/CLyc.h"
#include "lyrics/LrcBand.h"

namespace {

// Frames start this far ahead of a line's first moment: the 200 ms tick may find it only then.
const double kLeadMs = 250.0;

const char kNoSong[] = "没有歌曲";

}  // namespace

bool BandScene::SameDrawing(const BandScene& other) const {
    for (int i = 0; i < 2; ++i) {
        if (arrText[i] != other.arrText[i] || arrX[i] != other.arrX[i] || RedIn(i) != other.RedIn(i))
            return false;
    }
    return kind == other.kind && strMessage == other.strMessage;
}

void CBandModel::SetMeasure(Measure measure) {
    m_measure = std::move(measure);
    ForgetShapes();
}

void CBandModel::ForgetShapes() {
    for (Shape& shape : m_arrShape)
        shape.nWidth = -1;
}

void CBandModel::SetBandWidth(int nWidth) {
    m_nBandWidth = nWidth;
}

void CBandModel::ResetFills() {
    m_state.nTopFill = m_state.nBottomFill = 0;
    m_dFill = 0.0;
    m_bFillsReset = true;
}

bool CBandModel::HasWords(int nLine) const {
    return nLine >= 0 && !m_lyc.GetLineWords(nLine).empty();
}

int CBandModel::LineAt(double t) const {
    if (!m_lyc.IsLoaded() || t < m_lyc.FirstTime())
        return -1;
    if (t > m_lyc.LastTime())
        return static_cast<int>(m_lyc.Times().size()) - 1;
    return m_lyc.CurrentIndex();
}

// Seconds after its start that the last word of line nLine ends: the next line's start, or a
// second after the last word on the file's last line.
double CBandModel::LastWordEnd(int nLine) const {
    const std::vector<double>& times = m_lyc.Times();
    const double dStart = times[nLine];
    const size_t nNext = static_cast<size_t>(nLine) + 1;
    return nNext < times.size() ? times[nNext] - dStart : m_lyc.GetLineWords(nLine).back().dStart + 1.0;
}

// Seconds from lookup time t to the next line's start; a large value when none follows.
double CBandModel::UntilNextLine(double t) const {
    const std::vector<double>& times = m_lyc.Times();
    const auto it = std::upper_bound(times.begin(), times.end(), t);
    return m_lyc.IsLoaded() && it != times.end() ? *it - t : 1e9;
}

void CBandModel::StartSlots(double dPos, bool bTranslations) {
    m_nWordLine = -1;
    ResetFills();
    m_state.bTopCurrent = true;
    m_state.strTopLine = m_lyc.GetCurrentLine(dPos);
    const int nLine = std::max(LineAt(dPos + m_lyc.Offset()), 0);
    const CStringW strTranslation = bTranslations ? m_lyc.GetLineTranslation(nLine) : CStringW();
    m_state.bBottomTranslation = !strTranslation.IsEmpty();
    m_nTranslatedLine = nLine;
    m_state.strBottomLine = m_state.bBottomTranslation ? strTranslation : m_lyc.GetNextLine();
}

// A translated line holds both slots for as long as it is sung; its original always fills at the
// top, from an empty fill when the line begins. Returns false for a line without a translation.
bool CBandModel::HoldTranslation(int nLine, const CStringW& strCurrent, const CStringW& strTranslation, double dPos) {
    if (strTranslation.IsEmpty())
        return false;
    if (!m_state.bBottomTranslation || m_nTranslatedLine != nLine) {
        ResetFills();
        m_state.bTopCurrent = true;
        m_state.bBottomTranslation = true;
        m_nTranslatedLine = nLine;
    }
    m_state.strTopLine = strCurrent;
    m_state.strBottomLine = strTranslation;
    m_state.nTopSeconds = WholeSeconds(m_lyc.GetLineDuration(dPos));
    m_nWordLine = HasWords(nLine) ? nLine : -1;
    return true;
}

// The current slot hands over once the song's current line is the text waiting in the other
// slot: a paced line when its fill ran ahead, a word-timed one when the position moves on.
void CBandModel::HandOverIfDue(int nLine, const CStringW& strCurrent, const CStringW& strNext) {
    CStringW& strHeld = m_state.bTopCurrent ? m_state.strTopLine : m_state.strBottomLine;
    CStringW& strWaiting = m_state.bTopCurrent ? m_state.strBottomLine : m_state.strTopLine;
    const bool bHandOver = nLine >= 0 && strCurrent == strWaiting &&
                           (m_nWordLine >= 0 ? nLine > m_nWordLine : HasWords(nLine) && strHeld != strCurrent);
    if (bHandOver) {
        m_state.bTopCurrent = !m_state.bTopCurrent;
        ResetFills();
        strHeld = strNext;  // the slot that held the line now waits with the next
    }
}

// The current slot takes the song's current line only once that line is no longer the text
// waiting in the other slot: a fill that ran ahead hands over early, and this catches up.
// A word-timed line is filled from the position instead, so it hands over when the position
// moves on to the line waiting in the other slot, and takes over from a paced line once the
// position reaches it.
int CBandModel::UpdateSlots(double dPos, bool bTranslations) {
    const CStringW strCurrent = m_lyc.GetCurrentLine(dPos);
    const int nLine = LineAt(dPos + m_lyc.Offset());
    const int nLines = static_cast<int>(m_lyc.Times().size());
    // Past the last start the timeline keeps the index of the line it found before: after the
    // last line comes nothing, not that line's successor.
    const CStringW strNext = nLine + 1 < nLines || nLine < 0 ? m_lyc.GetNextLine() : CStringW(L" ");

    if (HoldTranslation(nLine, strCurrent, bTranslations ? m_lyc.GetLineTranslation(nLine) : CStringW(), dPos))
        return m_nWordLine;
    if (m_state.bBottomTranslation) {
        // Back to the current and the next line, both afresh.
        m_state.bBottomTranslation = false;
        m_state.bTopCurrent = true;
        ResetFills();
        m_state.strTopLine = strCurrent;
        m_state.strBottomLine = strNext;
        m_nWordLine = -1;
    }
    HandOverIfDue(nLine, strCurrent, strNext);

    const bool bTop = m_state.bTopCurrent;
    CStringW& strHeld = bTop ? m_state.strTopLine : m_state.strBottomLine;
    CStringW& strWaiting = bTop ? m_state.strBottomLine : m_state.strTopLine;
    if (strCurrent != strWaiting) {
        strHeld = strCurrent;
        strWaiting = strNext;
    }
    (bTop ? m_state.nTopSeconds : m_state.nBottomSeconds) = WholeSeconds(m_lyc.GetLineDuration(dPos));

    // A paced fill that ran ahead may already hold the next line, word-timed and not yet begun.
    m_nWordLine = -1;
    if (nLine >= 0 && strHeld == strCurrent && HasWords(nLine))
        m_nWordLine = nLine;
    else if (nLine >= 0 && nLine + 1 < nLines && HasWords(nLine + 1) && strHeld == m_lyc.GetNextLine())
        m_nWordLine = nLine + 1;
    return m_nWordLine;
}

const BandScene& CBandModel::Compose(double dPosMs, double dPlayedMs, const Situation& situation) {
    BandScene scene;
    if (situation.bPlaying && m_state.bLrcLoaded) {
        // The range ignores the offset; the lookups apply it. Under a notice the lyrics move on
        // unseen.
        const double dPos = dPosMs / 1000.0;
        const bool bInRange = m_lyc.FirstTime() <= dPos && dPos <= m_lyc.LastTime();
        // A word-timed last line is sung after the last start time too.
        const bool bLastWords = dPos > m_lyc.LastTime() && HasWords(static_cast<int>(m_lyc.Times().size()) - 1);
        const int nWordLine = bInRange || bLastWords ? UpdateSlots(dPos, situation.bTranslations) : -1;
        ComposeLyrics(scene, bInRange, nWordLine, dPos, m_bFillsReset ? 0.0 : dPlayedMs);
    }
    m_bFillsReset = false;
    if (situation.pNotice || !situation.bPlaying || !m_state.bLrcLoaded) {
        scene = BandScene();
        scene.strMessage = situation.pNotice     ? *situation.pNotice
                           : !situation.bPlaying ? CString(kNoSong)
                                                 : m_state.strLrcMessage;
    }
    m_scene = scene;
    return m_scene;
}

void CBandModel::ComposeLyrics(BandScene& scene, bool bInRange, int nWordLine, double dPos, double dPlayedMs) {
    scene.kind = BandKind::Lyrics;
    const int nCurrent = m_state.bTopCurrent ? 0 : 1;
    const CStringW* arrText[2] = {&m_state.strTopLine, &m_state.strBottomLine};
    for (int i = 0; i < 2; ++i) {
        const Shape& shape = ShapeOf(i, *arrText[i], i == nCurrent ? nWordLine : -1);
        scene.arrText[i] = shape.str;
        scene.arrWidth[i] = shape.nWidth;
        scene.arrX[i] = i == 0 ? TopSlotX(m_nBandWidth, shape.nWidth) : BottomSlotX(m_nBandWidth, shape.nWidth);
    }
    // A line about to begin moves from its first moment on.
    const double t = dPos + m_lyc.Offset();
    scene.bMoving = UntilNextLine(t) * 1000.0 <= kLeadMs;
    if (!bInRange && nWordLine < 0)
        return;
    if (nWordLine < 0) {
        FillPaced(scene, nCurrent, dPlayedMs);
        return;
    }
    const int w = scene.arrWidth[nCurrent];
    int& nFill = nCurrent == 0 ? m_state.nTopFill : m_state.nBottomFill;
    const double dElapsed = t - m_lyc.Times()[nWordLine];
    const double dEnd = LastWordEnd(nWordLine);
    nFill = WordFillWidth(m_lyc.GetLineWords(nWordLine), m_arrShape[nCurrent].arrWordX, w, dElapsed, dEnd);
    scene.nRedSlot = nCurrent;
    scene.nRed = nFill;
    scene.bMoving = scene.bMoving || dElapsed < dEnd;
}

void CBandModel::FillPaced(BandScene& scene, int nCurrent, double dPlayedMs) {
    const bool bTop = nCurrent == 0;
    const int w = scene.arrWidth[nCurrent];
    int& nFill = bTop ? m_state.nTopFill : m_state.nBottomFill;
    if (nFill != static_cast<int>(m_dFill))
        m_dFill = nFill;
    const int nSeconds = bTop ? m_state.nTopSeconds : m_state.nBottomSeconds;
    LrcFillTick tick = AdvanceFill(m_dFill, w, nSeconds, dPlayedMs);
    if (!tick.bDraw)
        return;
    // A held fill has no other slot to hand over to: it stays whole once it got there.
    const bool bHold = m_state.bBottomTranslation;
    if (bHold && tick.bHandOver)
        tick = {true, w, static_cast<double>(w), false};
    scene.nRedSlot = nCurrent;
    scene.nRed = tick.nRedWidth;
    scene.bMoving = scene.bMoving || (FillStep(w, nSeconds) > 0 && !(bHold && tick.dFill >= w));
    m_dFill = tick.dFill;
    nFill = static_cast<int>(tick.dFill);
    if (tick.bHandOver)
        m_state.bTopCurrent = !bTop;
}

const CBandModel::Shape& CBandModel::ShapeOf(int nSlot, const CStringW& str, int nLine) {
    Shape& shape = m_arrShape[nSlot];
    if (shape.str == str && shape.nLine == nLine && shape.nWidth >= 0)
        return shape;
    shape.str = str;
    shape.nLine = nLine;
    shape.nWidth = m_measure ? m_measure(str, str.GetLength()) : 0;
    shape.arrWordX.clear();
    // Measured up to each word, so the red edge stands where the word does.
    if (nLine >= 0 && m_measure) {
        for (const LrcWord& word : m_lyc.GetLineWords(nLine))
            shape.arrWordX.push_back(m_measure(str, std::min(word.nOffset, str.GetLength())));
    }
    return shape;
}
