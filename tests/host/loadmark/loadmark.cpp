// A library that notes each load in the file $ZEP_LOADMARK_FILE: the proof that a module was (or was not) loaded.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void NoteLoad()
{
    if (const char *path = std::getenv("ZEP_LOADMARK_FILE"))
        if (FILE *f = std::fopen(path, "a")) {
            std::fputs("loaded\n", f);
            std::fclose(f);
        }
}

} // namespace
