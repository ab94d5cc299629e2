// Kept from fuzzing the sound loaders' reader: a seek from the start whose
// offset, added to the base the loaders moved, no longer fits a long.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "audio/StreamReader.h"

namespace {

TEST(StreamReaderSeek, OffsetBeyondAnyStreamIsRefusedWithoutMoving)
{
    char data[] = "abcdefgh";
    SDL_RWops* stream = SDL_RWFromMem(data, 8);
    ASSERT_NE(nullptr, stream);
    StreamReader reader;
    initStreamReader(reader, stream);
    MREADER* mr = &reader.reader;
    mr->iobase = 3;
    ASSERT_EQ(0, mr->Seek(mr, 2, SEEK_SET));
    EXPECT_EQ(5, SDL_RWtell(stream));

    EXPECT_EQ(-1, mr->Seek(mr, LONG_MAX, SEEK_SET));
    EXPECT_EQ(-1, mr->Seek(mr, LONG_MAX - 2, SEEK_SET));
    EXPECT_EQ(-1, mr->Seek(mr, LONG_MIN, SEEK_SET));
    EXPECT_EQ(-1, mr->Seek(mr, LONG_MAX, SEEK_CUR));
    EXPECT_EQ(-1, mr->Seek(mr, LONG_MIN, SEEK_END));
    EXPECT_EQ(5, SDL_RWtell(stream));
    EXPECT_EQ('f', mr->Get(mr));
    SDL_RWclose(stream);
}

}  // namespace
