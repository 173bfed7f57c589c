#include "sound/SongFormats.h"

namespace {

struct ExtensionRow {
    const wchar_t* pszExtension;
    const wchar_t* pszDeviceType;  // nullptr: played through Media Foundation, which no MCI device of Windows reads
};

// Tested top to bottom; "cad" (not "cda") goes to the CD device as the player always did.
const ExtensionRow kExtensions[] = {
    {L"mp3", L"mpegvideo"}, {L"aif", L"mpegvideo"},  {L"asf", L"mpegvideo"}, {L"asx", L"mpegvideo"},
    {L"wma", L"mpegvideo"}, {L"mpeg", L"mpegvideo"}, {L"mpg", L"mpegvideo"}, {L"snd", L"mpegvideo"},
    {L"wmv", L"mpegvideo"}, {L"wav", L"waveaudio"},  {L"mid", L"sequencer"}, {L"rmi", L"sequencer"},
    {L"cad", L"CDAudio"},   {L"flac", nullptr},      {L"m4a", nullptr},      {L"aac", nullptr},
    {L"ogg", nullptr},      {L"oga", nullptr},       {L"opus", nullptr},     {L"alac", nullptr},
};

const ExtensionRow* RowFor(const CStringW& strPath) {
    const CStringW strExt = SongExtension(strPath);
    for (const ExtensionRow& row : kExtensions)
        if (IsSameExtension(strExt, row.pszExtension))
            return &row;
    return nullptr;
}

}  // namespace

CStringW SongExtension(const CStringW& strPath) {
    const int i = strPath.ReverseFind(L'.');
    return strPath.Right(strPath.GetLength() - i - 1);
}

bool IsSameExtension(CStringW a, CStringW b) {
    if (a.GetLength() != b.GetLength())
        return false;
    return a.MakeLower() == b.MakeLower();
}

const wchar_t* MciDeviceTypeFor(const CStringW& strPath) {
    const ExtensionRow* pRow = RowFor(strPath);
    return pRow ? pRow->pszDeviceType : nullptr;
}

bool IsStreamExtension(const CStringW& strPath) {
    const ExtensionRow* pRow = RowFor(strPath);
    return pRow && !pRow->pszDeviceType;
}

bool IsSongListFile(const CStringW& strPath) {
    // The song list never took the sequencer's other name.
    return RowFor(strPath) && !IsSameExtension(SongExtension(strPath), L"rmi");
}
