// Any bytes as "scores.qbx": loading, ranking, inserting and reading names
// must stay inside the table whatever the file holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FuzzScratch.h"
#include "core/HighScores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enterFuzzScratch("scores");
    FILE* file = fopen("scores.qbx", "wb");
    if (!file)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);

    memset(highScores, 0, sizeof highScores);
    loadHighScores();

    for (const HighScoreRecord& record : highScores) {
        int length = highScoreNameLength(record);
        if (length < 0 || length > 32)
            abort();
    }

    int32_t score = size >= 4 ? static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                     static_cast<uint32_t>(data[3]) << 24)
                              : 0;
    int rank = highScoreRank(score);
    if (rank < -1 || rank > 8)
        abort();
    if (rank >= 0) {
        insertHighScore(rank, "FUZZ", score, 0);
        if (strcmp(highScores[rank].name, "FUZZ") != 0 || highScores[rank].score != score)
            abort();
    }
    saveHighScores();
    return 0;
}
