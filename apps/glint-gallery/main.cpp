// glint-gallery OUTDIR: renders every GlintButton look in every state for a person to review.

#include <cstdio>
#include <exception>

#include "apps/glint-gallery/Gallery.h"
#include "platform/Failure.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: glint-gallery OUTDIR\n");
        return 2;
    }
    try {
        const int count = gallery::renderGallery(argv[1]);
        std::printf("%d buttons drawn into %s\n", count, argv[1]);
        return 0;
    } catch (const platform::Failure& failure) {
        std::fprintf(stderr, "glint-gallery: %s\n", failure.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glint-gallery: %s\n", error.what());
        return 1;
    }
}
