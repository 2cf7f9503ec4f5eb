#include "grid_load_baseline.h"

#include <utility>

#include "core/keydata/key_data_file.h"
#include "core/keydata/sheet.h"

namespace bladeway::bench {

void LoadAsAGridDoes(benchmark::State& state, const std::string& path) {
    Sheet shown;
    for (auto _ : state) {
        Sheet loaded;
        if (!LoadKeyDataFile(path, loaded))
            state.SkipWithError("cannot load");
        shown = std::move(loaded);
        benchmark::DoNotOptimize(shown.CellText(1, 1));
    }
}

}  // namespace bladeway::bench
