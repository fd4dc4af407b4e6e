// fxwriter OUTDIR: writes every test effect in its compiled form, OUTDIR/<name>.fxo. The folder
// must exist.
#include "test_effects.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fxwriter OUTDIR\n");
        return 2;
    }
    for (const NamedEffect& named : TestEffects()) {
        const std::string path = std::string(argv[1]) + "/" + named.name + ".fxo";
        const std::vector<uint8_t> bytes = fx::Encode(named.effect);
        FILE* file = fopen(path.c_str(), "wb");
        bool ok = file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file && fclose(file) != 0) {
            ok = false;
        }
        if (!ok) {
            fprintf(stderr, "fxwriter: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
