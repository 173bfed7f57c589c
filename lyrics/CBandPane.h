// One text of the lyric band on the screen, shown through a row of narrow layered popups (tiles)
// where that text lies on the band. A system without a compositor (Wine) copies and scans every
// pixel of a layered window at each update, however little changed: split in tiles, a frame of a
// moving fill pushes only the tile or two under the edge, not the whole line.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class CBandPane {
public:
    // Each tile as it is made: owned by the pane, shown to the band's handling.
    using TileFn = std::function<void(HWND)>;
    // Wide enough that a new line takes few updates, narrow enough that the edge's costs little.
    static constexpr int kTileWidth = 64;

    CBandPane() = default;
    CBandPane(const CBandPane&) = delete;
    CBandPane& operator=(const CBandPane&) = delete;
    ~CBandPane();

    // Tiles are made as texts need them, topmost, owned by hOwner.
    void Create(HWND hOwner, TileFn pfnTile);
    // Shows rcPart of the pixels in hdcSrc at ptOrigin + its own top left; a tile that already
    // stands where it should takes only what rcDirty (in the same coordinates) covers of it.
    // An empty rcPart shows nothing.
    void Show(HDC hdcSrc, POINT ptOrigin, const RECT& rcPart, const RECT& rcDirty);
    // Nothing shows until the next Show; hdcSrc holds any 32-bit bitmap.
    void Clear(HDC hdcSrc);
    // Tiles made so far.
    int TileCount() const { return static_cast<int>(m_arrTile.size()); }
    // Updates pushed to the screen so far, of any tile.
    int PushCount() const { return m_nPushes; }

private:
    struct Tile {
        HWND hWnd = nullptr;
        RECT rcShown = {};  // on the screen; empty for nothing
    };

    bool AddTile();
    void Push(Tile& tile, HDC hdcSrc, POINT ptSrc, const RECT& rcScreen, const RECT* prcDirty);
    void ClearTile(Tile& tile, HDC hdcSrc);

    HWND m_hOwner = nullptr;
    TileFn m_pfnTile;
    std::vector<Tile> m_arrTile;
    int m_nPushes = 0;
};
