#include "pages/recovery_preview.h"

#include <QFile>
#include <QPainter>
#include <QStringList>
#include <QTextOption>

namespace {

constexpr qint64 preview_text_bytes = 8192;

// The preview area's inner height, as the page lays it out.
int preview_height(const QSize& page)
{
    const int a = page.height() - 143;
    return int(a * 0.4 - 10);
}

void draw_image_preview(QPainter& painter, const QSize& page, const QImage& image)
{
    const int h = preview_height(page);
    if (image.width() == 0 || image.height() == 0 || h <= 0)
        return;
    const int w = int(qint64(image.width()) * h / image.height());
    const int x = (page.width() - w - 222) / 2 + 212;
    painter.drawImage(QRect(x, 84, w, h), image);
}

void draw_text_preview(QPainter& painter, const QSize& page, const QString& text)
{
    const int h = preview_height(page);
    if (text.isEmpty() || h <= 0)
        return;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    painter.drawText(QRectF(217, 84, page.width() - 232, h), text, option);
}

} // namespace

bool is_picture_name(const QString& name)
{
    static const QStringList endings = {".bmp", ".gif", ".jpg", "jpeg", ".png", ".pbm",
                                        ".pgm", ".ppm", "tiff", ".xbm", ".xpm"};
    return endings.contains(name.right(4).toLower());
}

QString preview_text(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (size > 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString text;
        for (qsizetype i = 2; i + 1 < size; i += 2) {
            const auto unit = char16_t(data[i] | (data[i + 1] << 8));
            if (unit == 0)
                break;
            text.append(QChar(unit));
        }
        return text;
    }
    const qsizetype start = size > 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    qsizetype end = bytes.indexOf('\0', start);
    if (end < 0)
        end = size;
    const QByteArray text = bytes.mid(start, end - start);
    return start == 3 ? QString::fromUtf8(text) : QString::fromLatin1(text);
}

preview_content load_preview(const QString& path, const QString& name)
{
    preview_content content;
    content.picture = is_picture_name(name);
    if (content.picture) {
        content.image.load(path);
        return content;
    }
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        content.text = preview_text(file.read(preview_text_bytes));
    return content;
}

void draw_preview(QPainter& painter, const QSize& page, const preview_content& content)
{
    if (content.picture)
        draw_image_preview(painter, page, content.image);
    else
        draw_text_preview(painter, page, content.text);
}
