#include "lyrics/CLrcShift.h"

#include <windows.h>

#include <cmath>

#include "lyrics/LrcOffsetTag.h"

namespace {

const wchar_t kSection[] = L"shift";
// A day either way: anything beyond is no shift a key made.
const int kMaxShiftMs = 24 * 60 * 60 * 1000;

CStringW FullPath(const CStringW& strPath) {
    if (strPath.IsEmpty())
        return strPath;
    wchar_t szFull[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameW(strPath, MAX_PATH * 2, szFull, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? CStringW(szFull) : strPath;
}

int Milliseconds(double dSeconds) {
    return static_cast<int>(std::lround(dSeconds * 1000.0));
}

}  // namespace

double CLrcShift::Loaded(const CStringW& strSongPath, const CStringW& strLrcPath, double dLoaded) {
    const CStringW strFull = FullPath(strLrcPath);
    const auto it = m_mapShift.find(strSongPath);
    if (it != m_mapShift.end() && it->second.strLrcPath == strFull &&
        Milliseconds(it->second.dInFile) == Milliseconds(dLoaded))
        return OffsetOf(strSongPath);
    Entry& entry = m_mapShift[strSongPath];
    entry.strLrcPath = strFull;
    entry.dLoaded = entry.dInFile = dLoaded;
    entry.dShift = StoredShiftMs(strSongPath) / 1000.0;
    entry.bUnsaved = false;
    return OffsetOf(strSongPath);
}

void CLrcShift::Forget(const CStringW& strSongPath) {
    m_mapShift.erase(strSongPath);
    // A shift kept for the old lyrics says nothing of the new.
    if (StoredShiftMs(strSongPath) != 0)
        m_settings.Remove(kSection, CSettings::KeyFor(strSongPath));
}

double CLrcShift::OffsetOf(const CStringW& strSongPath) const {
    const auto it = m_mapShift.find(strSongPath);
    return it == m_mapShift.end() ? 0.0 : it->second.dLoaded + it->second.dShift;
}

double CLrcShift::Of(const CStringW& strSongPath) const {
    const auto it = m_mapShift.find(strSongPath);
    return it == m_mapShift.end() ? 0.0 : it->second.dShift;
}

double CLrcShift::Move(const CStringW& strSongPath, double dSeconds) {
    Entry& entry = m_mapShift[strSongPath];
    entry.dShift += dSeconds;
    entry.bUnsaved = true;
    return entry.dShift;
}

void CLrcShift::Reset(const CStringW& strSongPath) {
    Entry& entry = m_mapShift[strSongPath];
    entry.dShift = 0.0;
    entry.bUnsaved = true;
}

bool CLrcShift::HasUnsaved() const {
    for (const auto& item : m_mapShift)
        if (item.second.bUnsaved)
            return true;
    return false;
}

CLrcShift::SaveResult CLrcShift::Save() {
    SaveResult worst = SaveResult::Saved;
    for (auto& item : m_mapShift) {
        if (!item.second.bUnsaved)
            continue;
        const SaveResult result = SaveEntry(item.first, item.second);
        if (result != SaveResult::Failed)
            item.second.bUnsaved = false;
        if (static_cast<int>(result) > static_cast<int>(worst))
            worst = result;
    }
    return worst;
}

CLrcShift::SaveResult CLrcShift::SaveEntry(const CStringW& strSongPath, Entry& entry) {
    const CStringW strKey = CSettings::KeyFor(strSongPath);
    const int nShiftMs = Milliseconds(entry.dShift);
    const int nOffsetMs = Milliseconds(entry.dLoaded + entry.dShift);
    if (!entry.strLrcPath.IsEmpty() && WriteLrcOffset(entry.strLrcPath, nOffsetMs) == LrcWriteResult::Written) {
        entry.dInFile = nOffsetMs / 1000.0;
        // The file holds it all now; a shift kept for it while it could not be written goes.
        if (StoredShiftMs(strSongPath) != 0 && !m_settings.Remove(kSection, strKey))
            return SaveResult::Failed;
        return SaveResult::Saved;
    }
    if (nShiftMs == 0 && StoredShiftMs(strSongPath) == 0)
        return SaveResult::Saved;
    const bool bStored =
        nShiftMs == 0 ? m_settings.Remove(kSection, strKey) : m_settings.SetInt(kSection, strKey, nShiftMs);
    if (!bStored)
        return SaveResult::Failed;
    return entry.strLrcPath.IsEmpty() ? SaveResult::Saved : SaveResult::KeptInSettings;
}

int CLrcShift::StoredShiftMs(const CStringW& strSongPath) const {
    return m_settings.GetInt(kSection, CSettings::KeyFor(strSongPath), 0, -kMaxShiftMs, kMaxShiftMs);
}

CString CLrcShift::Describe(double dTotal) {
    // Steps of 0.5 s add up exactly, so a way back to the file's offset meets 0 exactly.
    if (dTotal == 0.0)
        return "歌词时间已还原";
    CString str;
    str.Format(dTotal > 0 ? "歌词提前 %g 秒" : "歌词延后 %g 秒", std::fabs(dTotal));
    return str;
}
