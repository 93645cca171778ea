// The compiled-in images: every path the pages and the skin name must be in
// the bundle, in the size their layout is built around.

#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct expected_image {
  QString path;
  QSize size;  // exact size; an empty size when any size fits
};

const char* const language_codes[] = {"cn", "de", "en", "es", "fr", "hk", "it", "jp", "pt", "nl", "ar"};

// Every path with a state suffix comes in states 1 (normal), 2 (hover), 3 (pressed).
std::vector<expected_image> three_states(const QString& stem, const QString& suffix, QSize size)
{
  std::vector<expected_image> states;
  for (int state = 1; state <= 3; ++state)
    states.push_back({QString(":/images/%1%2%3").arg(stem).arg(state).arg(suffix), size});
  return states;
}

std::vector<std::vector<expected_image>> button_sets()
{
  std::vector<std::vector<expected_image>> sets;
  for (const char* name : {"quiButton", "maxButton", "resumeButton", "minButton", "settingButton"})
    sets.push_back(three_states(QString("system/%1").arg(name), ".png", {30, 21}));
  sets.push_back(three_states("partition_search/btn_wai_", ".png", {100, 30}));
  sets.push_back(three_states("partition_search/btn_start_", ".png", {80, 30}));
  sets.push_back(three_states("home/buttonscan", ".png", {330, 106}));
  sets.push_back(three_states("home/buttonrecovery", ".png", {323, 106}));
  for (const char* code : language_codes) {
    for (int n = 1; n <= 3; ++n)
      sets.push_back(three_states(QString("multilang/%1/btn_top%2").arg(code).arg(n), ".png", {95, 70}));
    sets.push_back(three_states(QString("multilang/%1/btn_start_scan").arg(code), ".png", {330, 106}));
    sets.push_back(three_states(QString("multilang/%1/btn_resume_recovery").arg(code), ".png", {323, 106}));
  }
  return sets;
}

std::vector<expected_image> single_images()
{
  return {
      {":/images/system/so.png", {800, 100}},
      {":/images/system/sl.png", {3, 539}},
      {":/images/system/sr.png", {3, 539}},
      {":/images/system/su.png", {10, 4}},
      {":/images/top/logo.png", {107, 77}},
      {":/images/background/bai.png", {5, 50}},
      {":/images/home/wenzi.png", {692, 188}},
      {":/images/partition_search/check1.png", {14, 14}},
      {":/images/partition_search/check2.png", {14, 14}},
      {":/images/partition_search/loding_on.png", {}},
      {":/images/partition_search/icon_found1.png", {}},
      {":/images/partition_search/drives.png", {}},
      {":/images/partition_search/red.png", {}},
      {":/images/partition_search/green.png", {}},
      {":/images/recovery/folder.png", {}},
      {":/images/recovery/ani.gif", {130, 86}},
      {":/images/top.ico", {}},
  };
}

QImage image_at(const QString& path)
{
  return QImageReader(path).read();
}

TEST(Resources, every_named_image_is_compiled_in_at_its_size)
{
  std::vector<expected_image> all = single_images();
  for (const auto& set : button_sets())
    all.insert(all.end(), set.begin(), set.end());
  for (const expected_image& expected : all) {
    const QImage image = image_at(expected.path);
    ASSERT_FALSE(image.isNull()) << qPrintable(expected.path);
    if (!expected.size.isEmpty()) {
      EXPECT_EQ(image.size(), expected.size) << qPrintable(expected.path);
    }
  }
}

TEST(Resources, three_states_of_a_button_look_different)
{
  for (const auto& set : button_sets()) {
    const QImage normal = image_at(set[0].path), hover = image_at(set[1].path),
                 pressed = image_at(set[2].path);
    EXPECT_NE(normal, hover) << qPrintable(set[0].path);
    EXPECT_NE(hover, pressed) << qPrintable(set[1].path);
    EXPECT_NE(normal, pressed) << qPrintable(set[2].path);
  }
}

// The pages place these small images at fixed points next to their own
// drawing; each must stay inside the room the layout leaves it.
TEST(Resources, page_icons_fit_their_places)
{
  // Volume rows: the bar outline spans 20 rows from y + 5; its filling starts
  // at y + 6 and is one row taller than red.png, so 18 rows fill it exactly.
  const QImage red = image_at(":/images/partition_search/red.png");
  const QImage green = image_at(":/images/partition_search/green.png");
  EXPECT_EQ(red.height(), 18);
  EXPECT_EQ(green.height(), red.height());  // green fills with red's height too

  // Volume rows: the drive icon at (20, y + 5), the name from x = 45, rows 30 high.
  const QImage drive = image_at(":/images/partition_search/drives.png");
  EXPECT_LE(drive.width(), 45 - 20 - 2);
  EXPECT_LE(drive.height(), 30 - 5);

  // Partition page: the icon at (45, 30), the text from x = 120, the frame's
  // bottom edge at y = 104.
  const QImage found = image_at(":/images/partition_search/icon_found1.png");
  EXPECT_LE(found.width(), 120 - 45 - 4);
  EXPECT_LE(found.height(), 104 - 30 - 2);

  // The folder tree draws one icon per row at the view's small icon size.
  EXPECT_EQ(image_at(":/images/recovery/folder.png").size(), QSize(16, 16));
}

// The movie lies over the recovery page's top left corner: the status text,
// the progress bar and the found-files count start at x = 90 and must show.
TEST(Resources, animation_plays_beside_the_status_texts)
{
  QImageReader movie(":/images/recovery/ani.gif");
  ASSERT_TRUE(movie.supportsAnimation());
  ASSERT_GT(movie.imageCount(), 1);
  EXPECT_NE(movie.loopCount(), 0);  // -1: for ever
  for (int frame = 0; frame < movie.imageCount(); ++frame) {
    const QImage image = movie.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(130, 86)) << "frame " << frame;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 88; x < image.width(); ++x)
        ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << "frame " << frame << " at " << x << "," << y;
  }
}

TEST(Resources, window_icon_holds_small_and_large_sizes)
{
  QImageReader icon(":/images/top.ico");
  ASSERT_GE(icon.imageCount(), 3);
  // A pixmap made from the file shows the first entry: the message-box size.
  EXPECT_EQ(icon.read().size(), QSize(32, 32));
  std::vector<int> sides;
  while (icon.jumpToNextImage())
    sides.push_back(icon.read().width());
  EXPECT_NE(std::find(sides.begin(), sides.end(), 16), sides.end());
  EXPECT_NE(std::find(sides.begin(), sides.end(), 48), sides.end());
}

}  // namespace
