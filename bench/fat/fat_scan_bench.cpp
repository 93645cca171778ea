// Time of a FAT engine scan of a volume of about 100,000 entries, against
// `fls -r -d` of The Sleuth Kit on the same image in the same run. The image
// (FAT32, 512-byte clusters, 100 folders of 1,000 files, half of the folders
// deleted) is made once with mkfs.fat and mtools and kept for later runs.
#include "disk/volume_list.h"
#include "recovery/fat/disk_layer.h"
#include "recovery/fat_recovery.h"
#include "test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace ts = test_support;

namespace {

bool make_image(const std::string& image)
{
    ts::scratch_dir tree;
    const std::string files = tree.file("files");
    const std::string script =
        "import os,sys\n"
        "for d in range(100):\n"
        "  p=os.path.join(sys.argv[1],'folder%03d'%d); os.makedirs(p)\n"
        "  for f in range(1000):\n"
        "    open(os.path.join(p,'file%04d.txt'%f),'w').write('entry %d %d\\n'%(d,f))\n";
    const std::string py = tree.file("make.py");
    { FILE* f = std::fopen(py.c_str(), "w"); std::fputs(script.c_str(), f); std::fclose(f); }
    std::string deletions;
    for (int d = 0; d < 100; d += 2)
        deletions += " ::/folder" + std::string(d < 10 ? "00" : "0") + std::to_string(d);
    return ts::run("python3 '" + py + "' '" + files + "'") == 0 &&
           ts::run("rm -f '" + image + "' && truncate -s 256M '" + image + "' && mkfs.fat -F 32 -s 1 '" + image +
                   "' >/dev/null") == 0 &&
           ts::run("MTOOLS_SKIP_CHECK=1 mcopy -s -i '" + image + "' '" + files + "'/* ::/") == 0 &&
           ts::run("MTOOLS_SKIP_CHECK=1 mdeltree -i '" + image + "'" + deletions) == 0;
}

double median_seconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    const char* given = std::getenv("ZORVANE_BENCH_IMAGE");
    const std::string image = std::filesystem::absolute(given ? given : "fat-bench.img").string();
    if (!std::filesystem::exists(image) && !make_image(image)) {
        std::fprintf(stderr, "fat_scan_bench: cannot make %s (needs python3, mkfs.fat, mtools)\n", image.c_str());
        return 1;
    }
    ts::use_disks({image});
    disk_startup();
    enumerate_volumes();
    if (volume_list().size() < 2) {
        std::fprintf(stderr, "fat_scan_bench: %s holds no volume\n", image.c_str());
        return 1;
    }
    fat_recovery_c engine;
    int64_t read = 0;
    const double ours = median_seconds(5, [&] {
        engine.reset();
        engine.set_volume(volume_list()[1]);
        engine.start();
        engine.wait();
        read = engine.entries_read();
    });
    const double fls = median_seconds(5, [&] { ts::run("fls -r -d '" + image + "' >/dev/null"); });
    std::printf("entries read: %lld, kept: %lld\n", static_cast<long long>(read),
                static_cast<long long>(engine.files_found()));
    std::printf("FAT engine scan %.3f s, fls -r -d %.3f s\n", ours, fls);
    std::printf("FAT scan speed / fls -r -d speed: %.2f\n", fls / ours);
    return 0;
}
