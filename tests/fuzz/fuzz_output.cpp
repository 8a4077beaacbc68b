// Page files as the output pipeline meets them: the JPEG size reader, the
// complete-JPEG check that decides what the PDF writer embeds as it is, and
// the blank-page detection over whatever image the bytes decode to.
//
// Input: a mode byte (bits 0-1 the sensitivity -1..2, bit 2 a resolution of
// 0 instead of 16 dpi), then the page file's bytes.
#include "checkblankpage.h"
#include "fuzzsupport.h"
#include "ofdlibrary.h"
#include "pdfhandler.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_output";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fuzz::silence();
        fuzz::privateHome();
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    fuzz::Stream in(data, size);
    const uint8_t mode = in.u8();
    const QString file = QDir::tempPath() + "/page.bin";
    {
        QFile f(file);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(in.rest());
    }
    int w = -1, h = -1;
    FUZZ_CHECK(OfdLibrary::getJPEGWH(file, w, h) == 0);
    FUZZ_CHECK(w >= 0 && h >= 0 && w <= 0xFFFF && h <= 0xFFFF);
    // The mode byte, then at least a start and an end marker.
    if (PdfHandler::isCompleteJpeg(file))
        FUZZ_CHECK(size >= 5 && data[1] == 0xFF && data[2] == 0xD8);

    // A header may claim any size; pages past 16 megapixels are not decoded
    // here (a 600 dpi A3 page is bigger, but needs no fuzzing to be one).
    const QSize claimed = QImageReader(file).size();
    if (qint64(claimed.width()) * claimed.height() > 16 * 1024 * 1024)
        return 0;
    tagSCAN_IMAGE_FILE page;
    page.fileName = file;
    page.resolution = (mode & 4) ? 0 : 16;
    CheckBlankPage::checkImageBlankPage(page, int(mode & 3) - 1);
    return 0;
}
