#include "libcarve/carver.h"

namespace libcarve {

extern const carver jpg_carver, png_carver, gif_carver, bmp_carver, tif_carver, ico_carver, psd_carver,
    pdf_carver, rtf_carver, html_carver, xml_carver, ole_carver, zip_carver, sqlite_carver, gz_carver,
    bz2_carver, xz_carver, sevenzip_carver, rar_carver, elf_carver, exe_carver, riff_carver, mp3_carver,
    ogg_carver, flac_carver, mp4_carver, mkv_carver, mpg_carver;

std::span<const carver* const> all_carvers()
{
    // Strong signatures first; mp3 frame sync, the weakest, last.
    static const carver* const list[] = {
        &jpg_carver,  &png_carver,  &gif_carver,  &tif_carver,      &psd_carver, &pdf_carver,
        &ole_carver,  &zip_carver,  &sqlite_carver, &gz_carver,     &bz2_carver, &xz_carver,
        &sevenzip_carver, &rar_carver, &elf_carver, &exe_carver,    &riff_carver, &ogg_carver,
        &flac_carver, &mp4_carver,  &mkv_carver,  &mpg_carver,      &ico_carver, &bmp_carver,
        &rtf_carver,  &xml_carver,  &html_carver, &mp3_carver,
    };
    return list;
}

found_file carve_one(const carver& c, reader& r)
{
    found_file file = c.measure(r);
    if (file.size == 0 || file.size > r.limit())
        return {};
    if (c.validate)
        file = c.validate(r, file);
    return file;
}

} // namespace libcarve
