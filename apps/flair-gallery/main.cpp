// flair-gallery OUTDIR: renders every FlairButton style in every state for a person to review.

#include <cstdio>
#include <exception>

#include "apps/flair-gallery/Gallery.h"
#include "platform/Failure.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: flair-gallery OUTDIR\n");
        return 2;
    }
    try {
        const int count = flairgallery::renderGallery(argv[1]);
        std::printf("%d buttons drawn into %s\n", count, argv[1]);
        return 0;
    } catch (const platform::Failure& failure) {
        std::fprintf(stderr, "flair-gallery: %s\n", failure.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "flair-gallery: %s\n", error.what());
        return 1;
    }
}
