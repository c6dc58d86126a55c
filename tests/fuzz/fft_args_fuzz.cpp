// SPDX-License-Identifier: MIT
// Any n, m, stride and flag for fft1 and fft2, on arrays of exactly the size
// the call needs (so AddressSanitizer sees a write one element past them). A
// refused call must print exactly its one line and leave both arrays as they
// were; an accepted one prints nothing and, from finite input, gives finite
// output.
#include "fieldgrid/fft.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Largest arrays an accepted call gets, in doubles; larger accepted calls are
// skipped, since they only repeat the same loops for longer.
const long max_elements = 1L << 16;

int floor_log2(long n)
{
    int m = 0;
    while (n >>= 1)
        m++;
    return m;
}

bool power_of_two(long n)
{
    return n >= 2 && (n & (n - 1)) == 0;
}

// The line a call must print, from the documented refusals; "" when it must
// be accepted.
std::string fft1_refusal(int n, int m)
{
    if (n < 2)
        return "Error : n < 2  in fft1()\n";
    int want = m <= 0 ? floor_log2(n) : m;
    if (want > 30 || n != (1L << want))
        return "Error : n != 2 ^ k  in fft1()\n";
    return "";
}

std::string fft2_refusal(int n, int stride)
{
    if (n < 2)
        return "Error : Illegal parameter in fft2()\n";
    if (!power_of_two(n))
        return "Error : n != 2 ^ k  in fft2()\n";
    if (stride < n)
        return "Error : Illegal parameter in fft2()\n";
    return "";
}

// What the call writes to standard error goes to a memory file meanwhile.
int capture_fd = -1;
int saved_stderr = -1;

void begin_capture()
{
    if (capture_fd < 0)
        capture_fd = memfd_create("fft_stderr", 0);
    // A capture that cannot be emptied would mix two calls' messages.
    if (ftruncate(capture_fd, 0) != 0)
        std::abort();
    lseek(capture_fd, 0, SEEK_SET);
    std::fflush(stderr);
    saved_stderr = dup(2);
    dup2(capture_fd, 2);
}

std::string end_capture()
{
    std::fflush(stderr);
    dup2(saved_stderr, 2);
    close(saved_stderr);
    std::string text(256, '\0');
    ssize_t got = pread(capture_fd, &text[0], text.size(), 0);
    text.resize(got > 0 ? size_t(got) : 0);
    return text;
}

void fail(const char *why, const std::string &detail = "")
{
    std::fprintf(stderr, "fft_args_fuzz: %s %s\n", why, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool two_d = in.ConsumeBool();
    const int n = in.ConsumeIntegral<int>();
    const int m_or_stride = in.ConsumeIntegral<int>();
    const int flag = in.ConsumeIntegral<int>();

    std::string refusal = two_d ? fft2_refusal(n, m_or_stride) : fft1_refusal(n, m_or_stride);
    long elements = 16; // a refused call gets small arrays: it must not touch them
    if (refusal.empty()) {
        elements = two_d ? long(n - 1) * m_or_stride + n : n;
        if (elements > max_elements)
            return -1;
    }
    std::vector<double> re(elements), im(elements);
    bool finite = true;
    for (long k = 0; k < elements && in.remaining_bytes() > 0; k++) {
        re[k] = in.ConsumeFloatingPoint<double>();
        im[k] = in.ConsumeFloatingPoint<double>();
        finite = finite && std::isfinite(re[k]) && std::isfinite(im[k]);
    }
    std::vector<double> re_before = re, im_before = im;

    begin_capture();
    if (two_d)
        fft2(re.data(), im.data(), n, m_or_stride, flag);
    else
        fft1(re.data(), im.data(), n, m_or_stride, flag);
    std::string printed = end_capture();

    if (printed != refusal)
        fail("printed", "'" + printed + "' instead of '" + refusal + "'");
    const bool unchanged =
        std::memcmp(re.data(), re_before.data(), sizeof(double) * elements) == 0 &&
        std::memcmp(im.data(), im_before.data(), sizeof(double) * elements) == 0;
    if (!refusal.empty() && !unchanged)
        fail("a refused call changed its arrays");
    // Between the rows of a grid with a longer stride nothing may change.
    if (refusal.empty() && two_d)
        for (long r = 0; r + 1 < n; r++)
            for (long k = r * m_or_stride + n; k < (r + 1) * m_or_stride; k++)
                if (std::memcmp(&re[k], &re_before[k], sizeof(double)) != 0 ||
                    std::memcmp(&im[k], &im_before[k], sizeof(double)) != 0)
                    fail("fft2 wrote between rows");
    // Finite input of moderate size stays finite: no stage may overflow from
    // values a double holds with room to spare.
    if (refusal.empty() && finite) {
        bool moderate = true;
        for (long k = 0; k < elements; k++)
            moderate =
                moderate && std::fabs(re_before[k]) < 1e300 && std::fabs(im_before[k]) < 1e300;
        for (long k = 0; moderate && k < elements; k++)
            if (!std::isfinite(re[k]) || !std::isfinite(im[k]))
                fail("finite input gave a non-finite output");
    }
    return 0;
}
