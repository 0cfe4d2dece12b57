// JPEG decoding (libjpeg API: DCT-domain scaling, CMYK, Exif markers) and
// encoding (TurboJPEG API).

#include <sys/stat.h>
#include <turbojpeg.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

// jpeglib.h needs size_t and FILE declared first; jerror.h names the arithmetic decoder's
// messages only after jpeglib.h's configuration.
#include <jpeglib.h>
// clang-format off
#include <jerror.h>
// clang-format on

#include "platform/imaging/Detail.h"
#include "platform/imaging/Exif.h"
#include "platform/vbrt/VbError.h"

namespace imaging::detail {

namespace {

constexpr int kMaxScans = 1000;      // progressive files with more scans are refused
constexpr int kMaxWarnings = 10000;  // so are files that are mostly corrupt data
constexpr bool kLittle = std::endian::native == std::endian::little;

struct ErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int warnings;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorMgr*>(cinfo->err)->jump, 1);
}

// A file that ends early is refused, and so is one whose picture data stops at the end marker
// before its pixels do (the rest would be shown grey): the Huffman decoder warns when its data
// runs into the marker.  Arithmetic-coded data may end at a marker anywhere (encoders drop its
// trailing zero bytes, which the decoder supplies), so a cut arithmetic scan decodes like a whole
// one; only a restart marker that was due tells.  A bad arithmetic code (a magnitude no encoder
// writes) leaves the rest of its scan grey.  Other corrupt-data warnings are common in camera
// files and tolerated up to a limit.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<ErrorMgr*>(cinfo->err);
  const int code = cinfo->err->msg_code;
  const bool atEnd = cinfo->is_decompressor &&
                     reinterpret_cast<j_decompress_ptr>(cinfo)->unread_marker == JPEG_EOI;
  const bool endMarker = atEnd && (code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC);
  if (code == JWRN_JPEG_EOF || endMarker || code == JWRN_ARITH_BAD_CODE ||
      ++err->warnings > kMaxWarnings)
    OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) OnError(cinfo);
}

// Everything one decode needs and produces.  Owned by the caller so that
// nothing with a destructor lives in the frame that setjmp returns into.
struct JpegJob {
  std::FILE* file = nullptr;
  std::size_t fileSize = 0;
  const unsigned char* mem = nullptr;
  std::size_t memSize = 0;
  bool headerOnly = false;
  bool keepExif = false;
  int scaleNum = 8;     // output = image * scaleNum / 8
  int orientation = 1;  // Exif orientation of the stored picture

  int width = 0, height = 0, components = 0;
  bool progressive = false, arithmetic = false, jfif = false, cmyk = false, adobe = false;
  std::vector<unsigned char> exif;
  int outW = 0, outH = 0;
  std::vector<std::uint32_t> pixels;
};

bool TryReserve(std::vector<std::uint32_t>& v, std::size_t n) noexcept {
  try {
    v.reserve(n);
    return true;
  } catch (...) {
    return false;
  }
}

bool TryAssign(std::vector<unsigned char>& v, const JOCTET* p, unsigned n) noexcept {
  try {
    v.assign(p, p + n);
    return true;
  } catch (...) {
    return false;
  }
}

void KeepExif(j_decompress_ptr cinfo, JpegJob& job) noexcept {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 &&
        std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      TryAssign(job.exif, m->data, m->data_length);
      return;
    }
  }
}

void ReadHeaderInfo(j_decompress_ptr cinfo, JpegJob& job) noexcept {
  job.width = int(cinfo->image_width);
  job.height = int(cinfo->image_height);
  job.components = cinfo->num_components;
  job.progressive = cinfo->progressive_mode;
  job.arithmetic = cinfo->arith_code;
  job.jfif = cinfo->saw_JFIF_marker;
  job.adobe = cinfo->saw_Adobe_marker;
  job.cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
}

// The memory libjpeg may give the coefficients of a picture it holds whole (progressive or one
// scan per component).  Each block's first coefficient takes at least a bit of the file, so the
// file's bytes bound its blocks: 8 a byte, 128 bytes each.
std::size_t CoefficientLimit(std::size_t fileBytes) noexcept {
  constexpr std::size_t kFloor = std::size_t(16) << 20;
  return std::min(kDecodeMemoryLimit, std::max(kFloor, fileBytes * 8 * sizeof(JBLOCK)));
}

bool WithinLimit(long long w, long long h) noexcept {
  return w > 0 && h > 0 &&
         static_cast<unsigned long long>(w) * static_cast<unsigned long long>(h) <= MaxPixels();
}

// Adobe writes CMYK inverted (255 = no ink); everyone else stores ink amounts.
void CmykToArgb(JpegJob& job) noexcept {
  for (std::uint32_t& px : job.pixels) {
    unsigned char b[4];
    std::memcpy(b, &px, 4);
    unsigned c = b[0], m = b[1], y = b[2], k = b[3];
    if (!job.adobe) {
      c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    }
    unsigned r = (c * k + 127) / 255, g = (m * k + 127) / 255, bl = (y * k + 127) / 255;
    px = 0xFF000000u | r << 16 | g << 8 | bl;
  }
}

// The pixels grow by the rows decoded (their room is reserved beforehand), so a file whose data
// ends early never costs the memory of its whole picture.
void ReadScanlines(j_decompress_ptr cinfo, JpegJob& job) {
  JSAMPROW rows[16];
  while (cinfo->output_scanline < cinfo->output_height) {
    JDIMENSION first = cinfo->output_scanline;
    JDIMENSION count = cinfo->output_height - first;
    if (count > 16) count = 16;
    job.pixels.resize(std::size_t(first + count) * std::size_t(job.outW));
    for (JDIMENSION i = 0; i < count; ++i)
      rows[i] = reinterpret_cast<JSAMPROW>(job.pixels.data() + std::size_t(first + i) * job.outW);
    jpeg_read_scanlines(cinfo, rows, count);
  }
}

// Returns false on any decoding failure; never throws.
bool RunJpeg(JpegJob& job) noexcept {
  jpeg_decompress_struct cinfo;
  ErrorMgr err;
  jpeg_progress_mgr progress;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.warnings = 0;
  progress.progress_monitor = OnProgress;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  if (job.file) {
    struct stat st {};
    job.fileSize = ::fstat(::fileno(job.file), &st) == 0 ? std::size_t(st.st_size) : 0;
    jpeg_stdio_src(&cinfo, job.file);
  } else {
    job.fileSize = job.memSize;
    jpeg_mem_src(&cinfo, job.mem, static_cast<unsigned long>(job.memSize));
  }
  if (job.keepExif) jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  ReadHeaderInfo(&cinfo, job);
  if (job.keepExif) {
    KeepExif(&cinfo, job);
    job.orientation = ExifOrientation(job.exif.data(), job.exif.size());
  }
  if (job.headerOnly || !WithinLimit(job.width, job.height)) {
    jpeg_destroy_decompress(&cinfo);
    return job.headerOnly;
  }
  cinfo.scale_num = static_cast<unsigned>(job.scaleNum);
  cinfo.scale_denom = 8;
  if (job.scaleNum < 8) cinfo.do_fancy_upsampling = FALSE;
  if (job.cmyk) {
    cinfo.out_color_space = JCS_CMYK;
  } else {
    cinfo.out_color_space = kLittle ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  }
  jpeg_calc_output_dimensions(&cinfo);
  job.outW = int(cinfo.output_width);
  job.outH = int(cinfo.output_height);
  cinfo.mem->max_memory_to_use = long(CoefficientLimit(job.fileSize));
  const std::size_t outPixels = std::size_t(job.outW) * std::size_t(job.outH);
  if (!TryReserve(job.pixels, std::min(outPixels, job.fileSize * kPixelsPerByte))) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_start_decompress(&cinfo);
  ReadScanlines(&cinfo, job);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (job.cmyk) CmykToArgb(job);
  return true;
}

PictureInfo InfoFrom(const JpegJob& job) {
  PictureInfo info;
  const bool swap = SwapsSides(job.orientation);
  info.width = swap ? job.height : job.width;
  info.height = swap ? job.width : job.height;
  info.orientation = job.orientation;
  info.bitsPerPixel = 8 * job.components;
  info.format = "JPEG";
  info.formatText =
      job.jfif ? "JPEG File Interchange Format" : (!job.exif.empty() ? "JPEG Exif" : "JPEG");
  info.compressionText = job.arithmetic    ? "JPEG arithmetic"
                         : job.progressive ? "JPEG progressive"
                                           : "JPEG baseline";
  info.hasExifThumbnail = FindExifThumbnail(job.exif.data(), job.exif.size()).size > 0;
  return info;
}

// The smallest n/8 scale whose output still covers the wanted size.
int ScaleFor(int w, int h, int wantW, int wantH) {
  for (int n = 1; n < 8; ++n) {
    long long sw = (static_cast<long long>(w) * n + 7) / 8;
    long long sh = (static_cast<long long>(h) * n + 7) / 8;
    if (sw >= wantW && sh >= wantH) return n;
  }
  return 8;
}

Picture Finish(JpegJob& job, int wantW, int wantH) {
  Picture pic = MakePicture(job.outW, job.outH, std::move(job.pixels));
  if (wantW > 0 && (pic.Width() != wantW || pic.Height() != wantH))
    return Resize(pic, wantW, wantH);
  return pic;
}

constexpr int kBarLevel = 16;  // mean channel value up to which a line counts as a black bar

// The sum of the colour channels of n pixels `step` apart.
unsigned long long LineSum(const std::uint32_t* p, int n, std::size_t step) {
  unsigned long long sum = 0;
  for (int i = 0; i < n; ++i) {
    const std::uint32_t v = p[std::size_t(i) * step];
    sum += (v >> 16 & 0xFF) + (v >> 8 & 0xFF) + (v & 0xFF);
  }
  return sum;
}

// The lines [first, last) of one axis left once the black bars at both ends are cut off.  JPEG
// blurs the edge between a bar and the picture, so a bar's inner line may stay too light to
// count: when bars were found and up to two lines more than `want` are left, the darker end
// lines go too.
struct Span {
  int first, last;
};
template <class SumOf>
Span WithoutBars(int count, int across, long long want, SumOf sumOf) {
  const unsigned long long dark = static_cast<unsigned long long>(across) * 3 * kBarLevel;
  Span s{0, count};
  while (s.first < s.last && sumOf(s.first) <= dark) ++s.first;
  while (s.last > s.first && sumOf(s.last - 1) <= dark) --s.last;
  if (s.first == 0 && s.last == count) return s;
  while (s.last - s.first > want && s.last - s.first <= want + 2) {
    if (sumOf(s.first) < sumOf(s.last - 1)) {
      ++s.first;
    } else {
      --s.last;
    }
  }
  return s;
}

// The thumbnail without the black bars with which cameras fit a picture of w x h into their
// 160 x 120 thumbnails; null when nothing but bars is left.
Picture WithoutBlackBars(const Picture& pic, int w, int h) {
  const int tw = pic.Width(), th = pic.Height();
  const std::size_t stride = std::size_t(tw);
  const Span rows = WithoutBars(th, tw, (static_cast<long long>(tw) * h + w / 2) / w,
                                [&](int y) { return LineSum(pic.Row(y), tw, 1); });
  if (rows.first == rows.last) return {};
  const int height = rows.last - rows.first;
  const Span cols =
      WithoutBars(tw, height, (static_cast<long long>(height) * w + h / 2) / h,
                  [&](int x) { return LineSum(pic.Row(rows.first) + x, height, stride); });
  if (cols.first == 0 && rows.first == 0 && cols.last == tw && rows.last == th) return pic;
  return Crop(pic, cols.first, rows.first, cols.last - cols.first, height);
}

bool SameShape(int w, int h, int w2, int h2) {
  const double ratio = double(w) / h, ratio2 = double(w2) / h2;
  return ratio2 >= ratio * 0.98 && ratio2 <= ratio * 1.02;
}

// The embedded thumbnail, when (black bars cut off) it has the picture's shape within 2% and
// enough pixels for the wanted size; a null picture otherwise.  A thumbnail of the picture's
// own shape is decoded already scaled down in the DCT.
Picture FromExifThumbnail(const JpegJob& main, int wantW, int wantH) {
  ByteSpan thumb = FindExifThumbnail(main.exif.data(), main.exif.size());
  if (thumb.size == 0) return {};
  JpegJob job;
  job.mem = thumb.data;
  job.memSize = thumb.size;
  job.headerOnly = true;
  if (!RunJpeg(job) || job.width < wantW || job.height < wantH) return {};
  const bool sameShape = SameShape(main.width, main.height, job.width, job.height);
  job.headerOnly = false;
  if (sameShape) job.scaleNum = ScaleFor(job.width, job.height, wantW, wantH);
  if (!RunJpeg(job)) return {};
  if (sameShape) return Finish(job, wantW, wantH);
  const Picture content = WithoutBlackBars(MakePicture(job.outW, job.outH, std::move(job.pixels)),
                                           main.width, main.height);
  if (content.IsNull() || content.Width() < wantW || content.Height() < wantH ||
      !SameShape(main.width, main.height, content.Width(), content.Height()))
    return {};
  return Resize(content, wantW, wantH);
}

// Moves a buffer TurboJPEG allocated into `out` and frees it; false (nothing moved) when the
// call that made it failed.
bool TakeTurboBuffer(int rc, unsigned char* buf, unsigned long size,
                     std::vector<unsigned char>& out) {
  if (rc != 0) {
    tjFree(buf);
    return false;
  }
  try {
    out.assign(buf, buf + size);
  } catch (...) {
    tjFree(buf);
    throw;
  }
  tjFree(buf);
  return true;
}

}  // namespace

PictureInfo ProbeJpeg(std::FILE* f) {
  JpegJob job;
  job.file = f;
  job.headerOnly = true;
  job.keepExif = true;
  if (!RunJpeg(job)) vb::Raise(vb::kInvalidPicture);
  CheckDimensions(job.width, job.height);
  return InfoFrom(job);
}

// The picture is decoded (and reduced) as stored and then turned upright, so the wanted size
// is worked out on the stored sides: a box of maxW x maxH turned with the picture.
Picture LoadJpeg(std::FILE* f, int maxW, int maxH, PictureInfo* info) {
  JpegJob job;
  job.file = f;
  job.headerOnly = true;
  job.keepExif = true;
  if (!RunJpeg(job)) vb::Raise(vb::kInvalidPicture);
  CheckDimensions(job.width, job.height);
  if (info) *info = InfoFrom(job);

  const int orientation = job.orientation;
  int wantW = 0, wantH = 0;
  if (maxW > 0) {
    if (SwapsSides(orientation)) std::swap(maxW, maxH);
    FitInside(job.width, job.height, maxW, maxH, wantW, wantH);
    if (wantW < job.width) {
      Picture thumb = FromExifThumbnail(job, wantW, wantH);
      if (!thumb.IsNull()) return Upright(thumb, orientation);
    }
    job.scaleNum = ScaleFor(job.width, job.height, wantW, wantH);
  }
  job.exif.clear();
  job.headerOnly = false;
  job.keepExif = false;
  std::rewind(f);
  if (!RunJpeg(job)) vb::Raise(vb::kInvalidPicture);
  return Upright(Finish(job, wantW, wantH), orientation);
}

std::size_t JpegDecodeMemory(std::FILE* f, int maxW, int maxH) {
  JpegJob job;
  job.file = f;
  job.headerOnly = true;
  if (!RunJpeg(job)) return 0;  // the decode itself reports it
  int wantW = 0, wantH = 0;
  FitInside(job.width, job.height, std::max(maxW, maxH), std::max(maxW, maxH), wantW, wantH);
  const int n = ScaleFor(job.width, job.height, wantW, wantH);
  const std::size_t pixels = std::size_t(job.width) * std::size_t(job.height);
  const std::size_t out = pixels / 64 * std::size_t(n * n) * 4 + std::size_t(wantW) * wantH * 8;
  // A progressive file's coefficients are held whole, two bytes each.
  return out + (job.progressive ? pixels * std::size_t(job.components) * 2 : 0);
}

void EncodeJpeg(const Picture& pic, int quality, std::vector<unsigned char>& out) {
  tjhandle tj = tjInitCompress();
  if (!tj) vb::Raise(vb::kOutOfMemory);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  // Below 90 chroma is halved both ways (the usual camera choice); at 90 and
  // above colour detail is kept in full.
  int subsamp = quality >= 90 ? TJSAMP_444 : TJSAMP_420;
  int rc = tjCompress2(tj, reinterpret_cast<const unsigned char*>(pic.Row(0)), pic.Width(),
                       int(pic.Stride()), pic.Height(), kLittle ? TJPF_BGRX : TJPF_XRGB, &buf,
                       &size, subsamp, quality, TJFLAG_ACCURATEDCT);
  tjDestroy(tj);
  if (!TakeTurboBuffer(rc, buf, size, out)) vb::Raise(vb::kOutOfMemory);
}

bool TurnJpegLosslessly(const std::vector<unsigned char>& jpeg, int orientation,
                        std::vector<unsigned char>& out) {
  static constexpr int kOps[9] = {TJXOP_NONE,   TJXOP_NONE,       TJXOP_HFLIP,
                                  TJXOP_ROT180, TJXOP_VFLIP,      TJXOP_TRANSPOSE,
                                  TJXOP_ROT90,  TJXOP_TRANSVERSE, TJXOP_ROT270};
  if (orientation < 2 || orientation > 8 || jpeg.empty()) return false;
  tjhandle tj = tjInitTransform();
  if (!tj) vb::Raise(vb::kOutOfMemory);
  tjtransform xf{};
  xf.op = kOps[orientation];
  // A partial block at an edge cannot be moved losslessly: refused rather than trimmed.
  xf.options = TJXOPT_PERFECT | TJXOPT_COPYNONE;
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  const int rc =
      tjTransform(tj, jpeg.data(), static_cast<unsigned long>(jpeg.size()), 1, &buf, &size, &xf, 0);
  tjDestroy(tj);
  return TakeTurboBuffer(rc, buf, size, out);
}

}  // namespace imaging::detail
