// Malformed string blocks placed right before a page that may not be read:
// the lookup, the copies and the formatting must never touch it.
#include "notice/cannot_start_notice.h"
#include "notice/string_table.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const int ROUNDS = 5000;
const unsigned SEED = 20261211;

// A block of `size` bytes that ends exactly where the no-access page begins.
class GuardedBlock {
  public:
    GuardedBlock() {
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        page_ = system.dwPageSize;
        region_ = static_cast<BYTE *>(
            VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        guarded_ = region_ && VirtualProtect(region_ + page_, page_, PAGE_NOACCESS, &previous);
    }
    ~GuardedBlock() {
        if (region_)
            VirtualFree(region_, 0, MEM_RELEASE);
    }
    bool Ready() const {
        return guarded_;
    }
    BYTE *Place(size_t size) {
        return region_ + page_ - size;
    }

  private:
    DWORD page_ = 0;
    BYTE *region_ = nullptr;
    bool guarded_ = false;
};

// Counted strings whose lengths run anywhere, or just random bytes; both
// may end inside a length unit or a text.
void FillMalformed(BYTE *block, size_t size, std::mt19937 &random) {
    std::uniform_int_distribution<int> byte(0, 255);
    if (random() % 2) {
        for (size_t at = 0; at < size; ++at)
            block[at] = static_cast<BYTE>(byte(random));
        return;
    }
    size_t at = 0;
    while (at + 1 < size) {
        unsigned length = random() % 4 == 0 ? random() % 0x10000 : random() % 12;
        block[at] = static_cast<BYTE>(length & 0xFF);
        block[at + 1] = static_cast<BYTE>(length >> 8);
        at += 2;
        for (unsigned unit = 0; unit < length && at + 1 < size; ++unit, at += 2) {
            // Mostly text, now and then a NUL or a percent sign.
            unsigned value = random() % 8 == 0 ? L'%' : random() % 16 == 0 ? 0 : L'a' + unit % 26;
            block[at] = static_cast<BYTE>(value);
            block[at + 1] = 0;
        }
    }
    if (at < size)
        block[at] = static_cast<BYTE>(byte(random));
}

TEST(GuardPage, MalformedBlocksAreWalkedWithoutReadingPastTheirEnd) {
    GuardedBlock guard;
    ASSERT_TRUE(guard.Ready());
    std::mt19937 random(SEED);
    for (int round = 0; round < ROUNDS; ++round) {
        const size_t size = random() % 160;
        BYTE *block = guard.Place(size);
        FillMalformed(block, size, random);
        fake::Reset();
        fake::script().placedBlock = block;
        fake::script().placedSize = static_cast<DWORD>(size);
        fake::script().messageBoxAnswer = IDCANCEL;

        for (UINT id = 96; id <= 111; ++id) {
            const WCHAR *entry = FindStringResource(fake::MODULE, id);
            if (entry) {
                // The whole entry, text included, lies inside the block.
                const BYTE *end = reinterpret_cast<const BYTE *>(entry + 1 + entry[0]);
                ASSERT_LE(end, block + size) << "round " << round << ", id " << id;
            }
        }
        ShowCannotStartNotice(reinterpret_cast<HINSTANCE>(fake::MODULE));
    }
}

} // namespace
