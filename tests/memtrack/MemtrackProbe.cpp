// A tiny program with the tracker compiled in. It allocates, leaks what it
// is told to, prints the leaked addresses and exits, so that the tests can
// read the report its exit hook leaves behind.
//
//   memtrack_probe none|one|two
//   MEMTRACK_PROBE_EARLY=1 memtrack_probe none   (a block allocated before
//                         the tracker's start-up hook, released after its
//                         exit hook)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

static int* earlyBlock;

static void releaseEarly()
{
    delete earlyBlock;
}

// Runs before every ordinary static constructor, the tracker's start-up hook
// included; its exit handler therefore runs after the tracker's exit hook.
__attribute__((constructor(101))) static void allocateEarly()
{
    if (!getenv("MEMTRACK_PROBE_EARLY"))
        return;
    earlyBlock = new int(42);
    atexit(releaseEarly);
}

static void ordinaryWork()
{
    std::vector<std::string> words;
    for (int i = 0; i < 20; i++)
        words.push_back(std::string(40, static_cast<char>('a' + i)));
    std::unique_ptr<double[]> numbers(new double[100]);
    numbers[99] = 1.0;
    try {
        throw std::runtime_error(words[3]);
    } catch (const std::exception& error) {
        if (strlen(error.what()) != 40)
            abort();
    }
}

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "none";
    ordinaryWork();
    if (strcmp(mode, "one") == 0 || strcmp(mode, "two") == 0)
        printf("%p\n", ::operator new(0));
    if (strcmp(mode, "two") == 0)
        printf("%p\n", static_cast<void*>(new char[100]));
    return 0;
}
