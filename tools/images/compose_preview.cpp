// Composes the generated images the way the program shows them (the skinned
// window with its home page, a volume list, the recovery page's top) into one
// picture, to judge the set by eye: compose_preview <resources folder> <out.png> [code]

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace {

QString root;
QImage img(const QString& path) { return QImage(root + "/images/" + path); }

void draw_text(QPainter& p, int x, int y, const QString& text, const QString& family, int points,
               const QColor& color, bool bold = false)
{
  QFont font(family);
  font.setPointSize(points);
  font.setBold(bold);
  p.setFont(font);
  p.setPen(color);
  p.drawText(x, y, text);
}

// The skin as the window composes it, W x H.
void draw_skin(QPainter& p, int W, int H)
{
  const QImage T = img("system/so.png"), L = img("system/sl.png"), R = img("system/sr.png"),
               B = img("system/su.png");
  p.drawImage(QRect(W - 64, 0, 64, T.height()), T, QRect(T.width() - 64, 0, 64, T.height()));
  p.drawImage(QRect(0, 0, 64, T.height()), T, QRect(0, 0, 64, T.height()));
  p.drawImage(QRect(64, 0, W - 128, T.height()), T, QRect(64, 0, T.width() - 128, T.height()));
  p.drawImage(QRect(L.width(), H - B.height(), W - L.width() - R.width(), B.height()), B,
              QRect(L.width(), 0, B.width() - L.width() - R.width(), B.height()));
  p.drawImage(QRect(0, H - B.height(), L.width(), B.height()), B, QRect(0, 0, L.width(), B.height()));
  p.drawImage(QRect(W - R.width(), H - B.height(), R.width(), B.height()), B,
              QRect(B.width() - R.width(), 0, R.width(), B.height()));
  p.drawImage(QRect(W - R.width(), T.height(), R.width(), H - T.height() - B.height()), R);
  p.drawImage(QRect(0, T.height(), L.width(), H - B.height() - T.height()), L);
  p.drawImage(W - 120, 24, img("top/logo.png"));
  draw_text(p, 10, 20, "Quenridge", "Comic Sans MS", 9, Qt::white);
}

void draw_title_buttons(QPainter& p, int W, const QString& code, int hover)
{
  for (int n = 1; n <= 3; ++n)
    p.drawImage(10 + (n - 1) * 103, 25,
                img(QString("multilang/%1/btn_top%2%3.png").arg(code).arg(n).arg(n == hover ? 2 : n == 3 ? 3 : 1)));
  const char* names[] = {"quiButton", "maxButton", "minButton", "settingButton"};
  for (int i = 0; i < 4; ++i)
    p.drawImage(W - 1 - (i * 30 + 30), 1, img(QString("system/%1%2.png").arg(names[i]).arg(i == 0 ? 2 : 1)));
}

void fill_band(QPainter& p, const QRect& page)
{
  const QImage band = img("background/bai.png");
  p.save();
  p.translate(page.topLeft());
  p.fillRect(QRect(0, 0, page.width(), band.height()), QBrush(band));
  p.restore();
}

void draw_home(QPainter& p, const QRect& page, const QString& code)
{
  p.fillRect(page, Qt::white);
  fill_band(p, page);
  const int H = page.height();
  p.save();
  p.translate(page.topLeft());
  p.drawImage(55, H - 240, img("home/wenzi.png"));
  const char* lines[] = {"Scan a volume to list its deleted files, then check the ones to keep.",
                         "Lost a partition? Search the whole disk and write it back.",
                         "Deep scan finds files by their content when nothing else does."};
  for (int i = 0; i < 3; ++i)
    draw_text(p, 70, H - 190 + 50 * i, lines[i], "Arial", 8, QColor(91, 135, 201));
  const int y = int(H - (0.55 * H + 106));
  p.drawImage(40, y, img(QString("multilang/%1/btn_start_scan1.png").arg(code)));
  p.drawImage(425, y, img(QString("multilang/%1/btn_resume_recovery2.png").arg(code)));
  p.restore();
}

void draw_volumes(QPainter& p, const QRect& page)
{
  p.fillRect(page, Qt::white);
  fill_band(p, page);
  p.save();
  p.translate(page.topLeft());
  const int w = page.width(), h = page.height();
  draw_text(p, 23, 30, "Select the volume to scan:", "Arial", 12, Qt::black);
  const QRect list(25, 45, w - 50, h - 140);
  const int lw = list.width() - 2;
  p.translate(list.topLeft() + QPoint(1, 1));
  const QImage drives = img("partition_search/drives.png");
  const double free_share[] = {0, 0.1, 0.5, 0.8};
  for (int row = 0; row < 4; ++row) {
    const int y = row * 30;
    if (row % 2 == 0)
      p.fillRect(0, y, lw, 30, QColor(241, 250, 255));
    if (row == 2)
      p.fillRect(0, y, lw, 30, QColor(81, 149, 206));
    p.setPen(QColor(211, 231, 255));
    if (row == 0) {
      p.fillRect(0, y, lw, 30, QColor(232, 246, 255));
      p.drawLine(int(0.32 * lw), 0, int(0.32 * lw), 30);
      p.drawLine(int(0.85 * lw), 0, int(0.85 * lw), 30);
      draw_text(p, 60, 20, "Logical drives", "Arial", 10, Qt::black);
      draw_text(p, int(0.32 * lw) + 165, 20, "Size", "Arial", 10, Qt::black);
      draw_text(p, int(0.85 * lw) + 15, 20, "File system", "Arial", 10, Qt::black);
      continue;
    }
    p.drawLine(int(0.32 * lw), y, int(0.32 * lw), y + 30);
    p.drawLine(int(0.85 * lw), y, int(0.85 * lw), y + 30);
    p.drawImage(20, y + 5, drives);
    draw_text(p, 45, y + 20, QString("Local disk (D%1:)").arg(row), "Arial", 8, Qt::black);
    const int bw = int(0.53 * lw - 170);
    p.setPen(QColor(139, 184, 241));
    p.setBrush(Qt::NoBrush);
    p.drawRect(int(0.32 * lw + 10), y + 5, bw, 20);
    const float f = float(free_share[row]);
    const QImage fill = img(f <= 0.2f ? "partition_search/red.png" : "partition_search/green.png");
    QBrush brush(fill);
    p.setBrushOrigin(0, y + 6);
    p.fillRect(QRect(int(0.32 * lw + 11), y + 6, int((1 - f) * bw - 2), fill.height() + 1), brush);
    draw_text(p, int(0.32 * lw) + bw + 20, y + 20, "12.00G free of 60.00G", "Arial", 8, Qt::black);
    draw_text(p, int(0.85 * lw) + 20, y + 20, "NTFS", "Arial", 8, Qt::black);
    p.drawImage(int(0.85 * lw) + 60, y + 8, img(row == 1 ? "partition_search/check2.png" : "partition_search/check1.png"));
    p.drawImage(int(0.85 * lw) + 80, y + 7, img("recovery/folder.png"));
  }
  p.restore();
  p.setPen(QColor(139, 184, 254));
  p.drawRect(list.translated(page.topLeft()).adjusted(0, 0, -1, -1));
  const char* labels[] = {"Back", "Refresh", "Scan"};
  const int xs[] = {175, w / 2 - 50, w - 275};
  for (int i = 0; i < 3; ++i) {
    const QRect r(page.left() + xs[i], page.top() + h - 54, 100, 30);
    p.drawImage(r.topLeft(), img(QString("partition_search/btn_wai_%1.png").arg(i + 1)));
    QFont font("Arial", 11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, labels[i]);
  }
}

void draw_recovery_top(QPainter& p, const QRect& page)
{
  p.fillRect(page, Qt::white);
  fill_band(p, page);
  p.save();
  p.translate(page.topLeft());
  const int W = page.width();
  p.setPen(QColor(139, 184, 241));
  p.drawRect(10, 13, W - 20, 60);
  const QRect bar(90, 38, 250, 12);
  p.fillRect(bar, QColor(226, 240, 253));
  p.fillRect(QRect(bar.left(), bar.top(), int(bar.width() * 0.62), bar.height()),
             QBrush(img("partition_search/loding_on.png")));
  p.setPen(Qt::black);
  p.setFont(QFont("Verdana", 10));
  p.drawText(bar, Qt::AlignCenter, "62%");
  p.drawText(90, 30, "Reading entries: 18234");
  p.setPen(Qt::red);
  p.drawText(90, 65, "Files found: 412");
  p.drawImage(0, 0, QImage(root + "/images/recovery/ani.gif"));  // its first frame
  const char* labels[] = {"Pause", "Stop"};
  for (int i = 0; i < 2; ++i) {
    const QRect r(360 + 110 * i, 29, 80, 30);
    p.drawImage(r.topLeft(), img(QString("partition_search/btn_start_%1.png").arg(i + 1)));
    QFont font("Arial", 11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, labels[i]);
  }
  p.restore();
}

QImage window_shot(int W, int H, const QString& code, int page_kind)
{
  QImage shot(W + 40, H + 40, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  QLinearGradient desk(0, 0, 0, H + 40);
  desk.setColorAt(0, QColor(120, 128, 140));
  desk.setColorAt(1, QColor(190, 196, 204));
  p.fillRect(shot.rect(), desk);
  p.translate(20, 20);
  QImage canvas(W, H, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  {
    QPainter c(&canvas);
    draw_skin(c, W, H);
    const QRect page(3, 100, W - 6, H - 104);
    if (page_kind == 0)
      draw_home(c, page, code);
    else if (page_kind == 1)
      draw_volumes(c, page);
    else
      draw_recovery_top(c, page);
    draw_title_buttons(c, W, code, page_kind == 0 ? 1 : 0);
  }
  p.drawImage(0, 0, canvas);
  return shot;
}

}  // namespace

int main(int argc, char** argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <resources folder> <out.png> [code]\n", argv[0]);
    return 2;
  }
  root = QString::fromLocal8Bit(argv[1]);
  const QString code = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString("en");
  const QImage home = window_shot(800, 600, code, 0);
  const QImage volumes = window_shot(800, 600, code, 1);
  const QImage recovery = window_shot(800, 200, code, 2);
  QImage sheet(home.width(), home.height() + volumes.height() + recovery.height(), QImage::Format_RGB32);
  QPainter p(&sheet);
  p.drawImage(0, 0, home);
  p.drawImage(0, home.height(), volumes);
  p.drawImage(0, home.height() + volumes.height(), recovery);
  p.end();
  return sheet.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
