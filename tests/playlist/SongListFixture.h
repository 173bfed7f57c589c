// Shared by the song-list tests: a scratch current directory for MySongList.xml and a recorder
// in place of the store's message boxes, which would block the run.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/CString.h"
#include "framework/CStringW.h"
#include "playlist/CSongListStore.h"
#include "support/TestSupport.h"

struct StoreMessage {
    HWND hOwner;
    std::string text;
    std::string caption;
};

class SongListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Messages().clear();
        m_pfnOldMessage = CSongListStore::SetMessageFn(&Record);
    }
    void TearDown() override { CSongListStore::SetMessageFn(m_pfnOldMessage); }

    static std::vector<StoreMessage>& Messages() {
        static std::vector<StoreMessage> messages;
        return messages;
    }
    static void Record(HWND hOwner, const char* pszText, const char* pszCaption) {
        Messages().push_back({hOwner, pszText, pszCaption});
    }

    std::string FilePath(const char* pszName = "MySongList.xml") const { return m_dir.File(pszName); }
    // The file as bytes; the store writes UTF-8, so tests spell expectations with u8"".
    std::string FileBytes(const char* pszName = "MySongList.xml") const { return ReadFileBytes(FilePath(pszName)); }
    void WriteList(const std::string& bytes) const { WriteFileBytes(FilePath(), bytes); }

    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};

private:
    CSongListStore::MessageFn m_pfnOldMessage = nullptr;
};

inline std::vector<CString> Rows(std::initializer_list<const char*> rows) {
    return std::vector<CString>(rows.begin(), rows.end());
}

// Song paths, as the store and the song box hold them.
inline std::vector<CStringW> Paths(std::initializer_list<const wchar_t*> paths) {
    return std::vector<CStringW>(paths.begin(), paths.end());
}

// Lets gtest print the GBK strings it compares.
inline void PrintTo(const CString& str, std::ostream* os) {
    *os << '"' << str.GetString() << '"';
}
