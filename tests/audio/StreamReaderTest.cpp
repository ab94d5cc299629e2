#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "AudioHarness.h"
#include "SoundFiles.h"
#include "audio/Audio.h"
#include "audio/StreamReader.h"

using namespace audio_test;

namespace {

// A reader over a memory stream of "ABCDEF".
class MemoryReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        stream = SDL_RWFromMem(data, 6);
        ASSERT_NE(stream, nullptr);
        memset(&reader, 0xFF, sizeof reader);
        initStreamReader(reader, stream);
        r = &reader.reader;
    }
    void TearDown() override { SDL_RWclose(stream); }

    char data[7] = "ABCDEF";
    SDL_RWops* stream = nullptr;
    StreamReader reader;
    MREADER* r = nullptr;
};

TEST_F(MemoryReader, StartsAtBaseZeroOverTheGivenStream)
{
    EXPECT_EQ(reader.stream, stream);
    EXPECT_EQ(r->iobase, 0);
    EXPECT_EQ(r->prev_iobase, 0);
    EXPECT_EQ(r->Tell(r), 0);
}

TEST_F(MemoryReader, GetGivesEachByteThenMinusOneAndEofDoesNotMove)
{
    for (const char* c = "ABCDEF"; *c; c++)
        EXPECT_EQ(r->Get(r), *c);
    EXPECT_EQ(r->Get(r), -1);
    EXPECT_EQ(r->Eof(r), 1);
    EXPECT_EQ(r->Eof(r), 1);
    EXPECT_EQ(r->Tell(r), 6);
}

TEST_F(MemoryReader, EofInTheMiddlePeeksWithoutConsuming)
{
    r->Get(r);
    r->Get(r);
    EXPECT_EQ(r->Eof(r), 0);
    EXPECT_EQ(r->Tell(r), 2);
    EXPECT_EQ(r->Get(r), 'C');

    // The last byte is still data; after it the end is reported.
    ASSERT_EQ(r->Seek(r, 5, SEEK_SET), 0);
    EXPECT_EQ(r->Eof(r), 0);
    EXPECT_EQ(r->Get(r), 'F');
    EXPECT_EQ(r->Eof(r), 1);
}

TEST_F(MemoryReader, ReadSucceedsOnlyForTheWholeCount)
{
    char buffer[8] = {0};
    EXPECT_EQ(r->Read(r, buffer, 4), 1);
    EXPECT_STREQ(buffer, "ABCD");
    EXPECT_EQ(r->Read(r, buffer, 0), 1);
    EXPECT_EQ(r->Read(r, buffer, 3), 0);  // only two bytes left
}

TEST_F(MemoryReader, SeekIsFseekLikeAndCountsFromTheBase)
{
    EXPECT_EQ(r->Seek(r, 3, SEEK_SET), 0);
    EXPECT_EQ(r->Get(r), 'D');
    EXPECT_EQ(r->Seek(r, -2, SEEK_CUR), 0);
    EXPECT_EQ(r->Get(r), 'C');
    EXPECT_EQ(r->Seek(r, -1, SEEK_END), 0);
    EXPECT_EQ(r->Get(r), 'F');
    EXPECT_EQ(r->Seek(r, 0, 12345), -1);

    // What the loaders do: the module starts at the current position.
    r->Seek(r, 2, SEEK_SET);
    r->prev_iobase = r->iobase;
    r->iobase = r->Tell(r);
    EXPECT_EQ(r->iobase, 2);
    EXPECT_EQ(r->Tell(r), 0);
    EXPECT_EQ(r->Seek(r, 1, SEEK_SET), 0);
    EXPECT_EQ(r->Tell(r), 1);
    EXPECT_EQ(r->Get(r), 'D');
    // From the end and from here the base does not count.
    EXPECT_EQ(r->Seek(r, -2, SEEK_END), 0);
    EXPECT_EQ(r->Tell(r), 2);
    EXPECT_EQ(r->Get(r), 'E');
    EXPECT_EQ(r->Seek(r, -3, SEEK_CUR), 0);
    EXPECT_EQ(r->Get(r), 'C');
}

// libmikmod's loaders read a module that starts in the middle of a stream,
// which works only when Seek and Tell honour the base.
TEST(StreamReaderWithLibmikmod, LoadsAModuleAfterAPrefix)
{
    useDriver("dummy");
    AudioSession session;
    ASSERT_TRUE(session.opened);

    Bytes file(100, 0x5A);
    Bytes module = writeXm(toneSong());
    file.insert(file.end(), module.begin(), module.end());
    SDL_RWops* stream = SDL_RWFromMem(file.data(), static_cast<int>(file.size()));
    ASSERT_NE(stream, nullptr);
    SDL_RWseek(stream, 100, RW_SEEK_SET);
    StreamReader reader;
    initStreamReader(reader, stream);

    AudioLock lock;
    MODULE* loaded = Player_LoadGeneric(&reader.reader, 16, 0);
    SDL_RWclose(stream);
    ASSERT_NE(loaded, nullptr) << MikMod_strerror(MikMod_errno);
    EXPECT_EQ(loaded->numchn, 1);
    EXPECT_EQ(loaded->numpos, 1);
    ASSERT_EQ(loaded->numsmp, 1);
    EXPECT_EQ(loaded->samples[0].length, 19u * 16u);
    EXPECT_EQ(loaded->samples[0].loopend, 19u * 16u);
    Player_Free(loaded);
}

}  // namespace
