#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gfx/GfxTestSupport.h"
#include "gfx/SDL++.h"
#include "support/TestSupport.h"

using gfxtest::errorText;
using testing_support::ScratchDir;

namespace {

SDL_Surface* smallPicture(Uint32 value)
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, 12, 7, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(picture, nullptr, value);
    return picture;
}

void writeBmp(const std::string& path, int w, int h)
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    testing_support::writeFile(path, gfxtest::bmpBytes(picture));
    SDL_FreeSurface(picture);
}

// A surface that SDL says must be locked before its pixels are touched.
struct MustLockSurface {
    MustLockSurface() : surface(smallPicture(0)) { surface->flags |= SDL_HWSURFACE; }
    ~MustLockSurface() { surface->flags &= ~SDL_HWSURFACE; SDL_FreeSurface(surface); }
    SDL_Surface* surface;
};

}  // namespace

TEST(Surface, StartsEmptyAndReleaseOnEmptyKeepsTheName)
{
    Surface holder;
    EXPECT_EQ(holder.name.text, nullptr);
    EXPECT_FALSE(holder.spare);
    EXPECT_FALSE(holder.locked);
    EXPECT_FALSE(holder.borrowed);
    EXPECT_EQ(holder.surface, nullptr);
    EXPECT_EQ(holder.row(0), nullptr);
    holder.release();
    EXPECT_EQ(holder.name.text, nullptr);

    holder.name.assign("kept");
    holder.release();
    EXPECT_STREQ(holder.name.text, "kept");
}

TEST(Surface, RowAddressesFollowThePitch)
{
    SDL_Surface* picture = smallPicture(0);
    Surface holder(picture);
    EXPECT_TRUE(holder.borrowed);
    EXPECT_EQ(holder.row(0), static_cast<Uint8*>(picture->pixels));
    EXPECT_EQ(holder.row(5), static_cast<Uint8*>(picture->pixels) + 5 * picture->pitch);
    SDL_FreeSurface(picture);
}

TEST(Surface, MustLockRuleFollowsOffsetAndFlags)
{
    SDL_Surface* picture = smallPicture(0);
    EXPECT_FALSE(surfaceMustLock(picture));
    const Uint32 flags[] = {SDL_HWSURFACE, SDL_ASYNCBLIT, SDL_RLEACCEL};
    for (Uint32 flag : flags) {
        picture->flags |= flag;
        EXPECT_TRUE(surfaceMustLock(picture)) << std::hex << flag;
        picture->flags &= ~flag;
    }
    picture->flags |= SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_PREALLOC;
    EXPECT_FALSE(surfaceMustLock(picture));
    picture->flags &= ~(SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_PREALLOC);
    picture->offset = 4;
    EXPECT_TRUE(surfaceMustLock(picture));
    picture->offset = 0;
    SDL_FreeSurface(picture);
}

TEST(Surface, SoftwareSurfaceNeedsNoLock)
{
    SDL_Surface* picture = smallPicture(0);
    Surface holder(picture);
    EXPECT_FALSE(holder.lock());
    EXPECT_FALSE(holder.locked);
    EXPECT_NO_THROW(holder.unlock());
    // No lock was taken, so taking "another" is no misuse.
    EXPECT_FALSE(holder.lock());
    SDL_FreeSurface(picture);

    Surface empty;
    EXPECT_FALSE(empty.lock());
    EXPECT_NO_THROW(empty.unlock());
}

TEST(Surface, LockBracketOnASurfaceThatMustBeLocked)
{
    MustLockSurface target;
    Surface holder(target.surface);
    EXPECT_TRUE(holder.lock());
    EXPECT_TRUE(holder.locked);
    holder.unlock();
    EXPECT_FALSE(holder.locked);
    EXPECT_TRUE(holder.lock());
    holder.unlock();
}

TEST(Surface, MisuseMessagesAreExact)
{
    MustLockSurface target;
    Surface holder(target.surface);
    holder.name.assign("zip:data.pak,icon.bmp");

    EXPECT_EQ(errorText([&] { holder.unlock(); }),
              "Surface Not Locked [zip:data.pak,icon.bmp] [file=src/gfx/SDL++.cpp line=120]");
    ASSERT_TRUE(holder.lock());
    EXPECT_EQ(errorText([&] { holder.lock(); }),
              "Surface Already Locked [zip:data.pak,icon.bmp] [file=src/gfx/SDL++.cpp line=96]");
    // The misuse leaves the first lock in place, to be undone as usual.
    EXPECT_TRUE(holder.locked);
    holder.unlock();
    EXPECT_FALSE(holder.locked);

    Surface unnamed(target.surface);
    EXPECT_EQ(errorText([&] { unnamed.unlock(); }),
              "Surface Not Locked [] [file=src/gfx/SDL++.cpp line=120]");
}

TEST(Surface, LoadsPlainAndArchivedPictures)
{
    ScratchDir scratch;
    writeBmp("plain.bmp", 12, 7);
    SDL_Surface* icon = SDL_CreateRGBSurface(0, 32, 32, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    gfxtest::writeZip("data.pak", {{"icon.bmp", gfxtest::bmpBytes(icon)}});
    SDL_FreeSurface(icon);

    Surface holder;
    EXPECT_TRUE(holder.loadBitmap("plain.bmp"));
    ASSERT_NE(holder.surface, nullptr);
    EXPECT_EQ(holder.surface->w, 12);
    EXPECT_EQ(holder.surface->h, 7);
    EXPECT_STREQ(holder.name.text, "plain.bmp");

    // Loading again frees the picture held before: keep it alive with an
    // extra reference and watch the holder drop its own.
    SDL_Surface* old = holder.surface;
    old->refcount++;
    EXPECT_TRUE(holder.loadBitmap("zip:data.pak,icon.bmp"));
    EXPECT_EQ(old->refcount, 1);
    SDL_FreeSurface(old);
    EXPECT_EQ(holder.surface->w, 32);
    EXPECT_STREQ(holder.name.text, "zip:data.pak,icon.bmp");

    holder.release();
    EXPECT_EQ(holder.surface, nullptr);
    EXPECT_STREQ(holder.name.text, "NONE");
}

TEST(Surface, FailedLoadsNameThePathAndHoldNothing)
{
    ScratchDir scratch;
    testing_support::writeFile("notes.bmp", std::string("this is no picture"));
    gfxtest::writeZip("data.pak", {{"other.bmp", {1, 2, 3}}});
    writeBmp("plain.bmp", 4, 4);

    Surface holder;
    holder.loadBitmap("plain.bmp");
    EXPECT_EQ(errorText([&] { holder.loadBitmap("missing.bmp"); }),
              "Cannot Load Bitmap: 'missing.bmp'");
    EXPECT_EQ(holder.surface, nullptr);
    EXPECT_STREQ(holder.name.text, "missing.bmp");

    EXPECT_EQ(errorText([&] { holder.loadBitmap("notes.bmp"); }),
              "Cannot Load Bitmap: 'notes.bmp'");
    EXPECT_EQ(errorText([&] { holder.loadBitmap("zip:data.pak,icon.bmp"); }),
              "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
    EXPECT_EQ(errorText([&] { holder.loadBitmap("zip:data.pak,other.bmp"); }),
              "Cannot Load Bitmap: 'zip:data.pak,other.bmp'");
    EXPECT_EQ(errorText([&] { holder.loadBitmap("zip:missing.pak,icon.bmp"); }),
              "Cannot Load Bitmap: 'zip:missing.pak,icon.bmp'");
    EXPECT_EQ(holder.surface, nullptr);
}

TEST(Surface, OwnerFreesAndBorrowerLeavesTheSurface)
{
    SDL_Surface* picture = smallPicture(0);
    picture->refcount = 2;
    {
        Surface borrower(picture);
    }
    EXPECT_EQ(picture->refcount, 2);
    {
        Surface owner;
        owner.surface = picture;
    }
    EXPECT_EQ(picture->refcount, 1);
    SDL_FreeSurface(picture);
}

TEST(Surface, ReleaseFreesEvenABorrowedSurface)
{
    SDL_Surface* picture = smallPicture(0);
    picture->refcount = 2;
    Surface borrower(picture);
    borrower.release();
    EXPECT_EQ(picture->refcount, 1);
    EXPECT_EQ(borrower.surface, nullptr);
    EXPECT_STREQ(borrower.name.text, "NONE");
    SDL_FreeSurface(picture);
}
