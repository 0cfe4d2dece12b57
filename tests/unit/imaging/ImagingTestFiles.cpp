#include "ImagingTestFiles.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

namespace imaging_test {

std::vector<std::uint32_t> Quadrants(int w, int h) {
  std::vector<std::uint32_t> px(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[std::size_t(y) * w + x] = kQuadColours[(y >= h / 2) * 2 + (x >= w / 2)];
  return px;
}

namespace {

void Put16(std::vector<unsigned char>& v, unsigned x) {
  v.push_back(x & 0xFF);
  v.push_back(x >> 8 & 0xFF);
}
void Put32(std::vector<unsigned char>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// Scanline in the input colour space the options ask for.
void FillRow(const std::vector<std::uint32_t>& px, int w, int y, const JpegOptions& opt,
             std::vector<JSAMPLE>& row) {
  for (int x = 0; x < w; ++x) {
    std::uint32_t v = px[std::size_t(y) * w + x];
    int r = v >> 16 & 0xFF, g = v >> 8 & 0xFF, b = v & 0xFF;
    if (opt.gray) {
      row[x] = JSAMPLE((r * 299 + g * 587 + b * 114 + 500) / 1000);
    } else if (opt.cmyk) {
      int k = 255 - std::max(r, std::max(g, b));
      int c = k == 255 ? 0 : (255 - r - k) * 255 / (255 - k);
      int m = k == 255 ? 0 : (255 - g - k) * 255 / (255 - k);
      int yy = k == 255 ? 0 : (255 - b - k) * 255 / (255 - k);
      int ink[4] = {c, m, yy, k};
      for (int i = 0; i < 4; ++i)
        row[std::size_t(x) * 4 + i] = JSAMPLE(opt.adobeInverted ? 255 - ink[i] : ink[i]);
    } else {
      row[std::size_t(x) * 3] = JSAMPLE(r), row[std::size_t(x) * 3 + 1] = JSAMPLE(g),
                           row[std::size_t(x) * 3 + 2] = JSAMPLE(b);
    }
  }
}

}  // namespace

std::vector<unsigned char> JpegBytes(int w, int h, const std::vector<std::uint32_t>& px,
                                     const JpegOptions& opt) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buf, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = opt.gray ? 1 : opt.cmyk ? 4 : 3;
  cinfo.in_color_space = opt.gray ? JCS_GRAYSCALE : opt.cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (opt.cmyk) {
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = opt.adobeInverted;
    cinfo.write_JFIF_header = FALSE;
  }
  jpeg_set_quality(&cinfo, opt.quality, TRUE);
  if (!opt.gray && !opt.cmyk) {
    cinfo.comp_info[0].h_samp_factor = opt.hSamp;
    cinfo.comp_info[0].v_samp_factor = opt.vSamp;
  }
  if (opt.progressive) jpeg_simple_progression(&cinfo);
  cinfo.arith_code = opt.arithmetic;
  jpeg_start_compress(&cinfo, TRUE);
  if (!opt.app1.empty())
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, opt.app1.data(), unsigned(opt.app1.size()));
  std::vector<JSAMPLE> row(std::size_t(w) * 4);
  while (cinfo.next_scanline < cinfo.image_height) {
    FillRow(px, w, int(cinfo.next_scanline), opt, row);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<unsigned char> out(buf, buf + size);
  std::free(buf);
  return out;
}

void WriteJpeg(const fs::path& file, int w, int h, const std::vector<std::uint32_t>& px,
               const JpegOptions& opt) {
  WriteBytes(file, JpegBytes(w, h, px, opt));
}

std::vector<unsigned char> ExifWithThumbnail(const std::vector<unsigned char>& thumb) {
  std::vector<unsigned char> v = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
  Put32(v, 8);   // IFD0 at 8
  Put16(v, 0);   // no entries
  Put32(v, 14);  // IFD1 at 14
  Put16(v, 2);
  Put16(v, 0x0201), Put16(v, 4), Put32(v, 1), Put32(v, 44);
  Put16(v, 0x0202), Put16(v, 4), Put32(v, 1), Put32(v, std::uint32_t(thumb.size()));
  Put32(v, 0);
  v.insert(v.end(), thumb.begin(), thumb.end());
  return v;
}

TIFF* OpenTiff(const fs::path& file, int w, int h, int compression) {
  TIFF* tif = TIFFOpen(file.c_str(), "w");
  if (!tif) throw std::runtime_error("cannot write " + file.string());
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  return tif;
}

void WriteTiff(const fs::path& file, int w, int h, const std::vector<std::uint32_t>& px,
               const TiffOptions& opt) {
  TIFF* tif = OpenTiff(file, w, h, opt.compression);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, opt.orientation);
  auto rgb = [&](int x, int y, unsigned char* o) {
    std::uint32_t v = px[std::size_t(y) * w + x];
    o[0] = v >> 16 & 0xFF, o[1] = v >> 8 & 0xFF, o[2] = v & 0xFF;
  };
  if (opt.tiled) {
    const int tw = 16, th = 16;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, tw);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, th);
    std::vector<unsigned char> tile(tw * th * 3);
    for (int ty = 0; ty < h; ty += th)
      for (int tx = 0; tx < w; tx += tw) {
        std::fill(tile.begin(), tile.end(), 0);
        for (int y = 0; y < th && ty + y < h; ++y)
          for (int x = 0; x < tw && tx + x < w; ++x) rgb(tx + x, ty + y, &tile[(y * tw + x) * 3]);
        TIFFWriteTile(tif, tile.data(), uint32_t(tx), uint32_t(ty), 0, 0);
      }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, opt.rowsPerStrip);
    std::vector<unsigned char> row(std::size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) rgb(x, y, &row[std::size_t(x) * 3]);
      TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
    }
  }
  TIFFClose(tif);
}

std::vector<unsigned char> ClaimingSize(std::vector<unsigned char> jpeg, int w, int h) {
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2 || jpeg[i + 1] == 0xC9 ||
                            jpeg[i + 1] == 0xCA)) {
      jpeg[i + 5] = std::uint8_t(h >> 8), jpeg[i + 6] = std::uint8_t(h);
      jpeg[i + 7] = std::uint8_t(w >> 8), jpeg[i + 8] = std::uint8_t(w);
      break;
    }
  return jpeg;
}

void WriteFlatTiff(const fs::path& file, int w, int h, const FlatTiff& opt) {
  TIFF* tif = OpenTiff(file, w, h, opt.compression);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, opt.orientation);
  if (opt.tile > 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, uint32_t(opt.tile));
    TIFFSetField(tif, TIFFTAG_TILELENGTH, uint32_t(opt.tile));
    std::vector<unsigned char> zeros(std::size_t(opt.tile) * std::size_t(opt.tile));
    for (uint32_t i = 0; i < TIFFNumberOfTiles(tif); ++i)
      TIFFWriteEncodedTile(tif, i, zeros.data(), tmsize_t(zeros.size()));
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(h));
    std::vector<unsigned char> zeros(std::size_t(w) * std::size_t(h));
    TIFFWriteEncodedStrip(tif, 0, zeros.data(), tmsize_t(zeros.size()));
  }
  TIFFClose(tif);
}

void WriteJpegTiff(const fs::path& file, int w, int h, const std::vector<unsigned char>& jpeg) {
  TIFF* tif = OpenTiff(file, w, h, COMPRESSION_JPEG);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
  TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(h));
  TIFFWriteRawStrip(tif, 0, const_cast<unsigned char*>(jpeg.data()), tmsize_t(jpeg.size()));
  TIFFClose(tif);
}

std::vector<unsigned char> BmpBytes(int w, int h, int bpp, std::uint32_t compression,
                                    const std::vector<std::uint32_t>& palette,
                                    const std::vector<unsigned char>& body,
                                    const std::vector<std::uint32_t>& masks) {
  std::uint32_t offset = 14 + 40 + std::uint32_t(masks.size() * 4 + palette.size() * 4);
  std::vector<unsigned char> v = {'B', 'M'};
  Put32(v, offset + std::uint32_t(body.size()));
  Put32(v, 0);
  Put32(v, offset);
  Put32(v, 40);
  Put32(v, std::uint32_t(w));
  Put32(v, std::uint32_t(h));
  Put16(v, 1);
  Put16(v, unsigned(bpp));
  Put32(v, compression);
  Put32(v, std::uint32_t(body.size()));
  Put32(v, 2835), Put32(v, 2835);
  Put32(v, std::uint32_t(palette.size()));
  Put32(v, 0);
  for (std::uint32_t m : masks) Put32(v, m);
  for (std::uint32_t c : palette) Put32(v, c & 0xFFFFFF);
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

void WriteBytes(const fs::path& file, const std::vector<unsigned char>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<unsigned char> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace imaging_test
