#pragma once
// The pictograms of the set, drawn as vectors into any square.

#include <QColor>
#include <QRectF>

class QPainter;

// on_dark: white shapes for the blue title band; on_light: blue shapes for pages.
enum class tone { on_dark, on_light };

void draw_emblem(QPainter& painter, const QRectF& box);            // disk platter, restore arrow
void draw_emblem_ghost(QPainter& painter, const QRectF& box, const QColor& ink);  // its outline
void draw_deleted_file(QPainter& painter, const QRectF& box, tone look);
void draw_partitions(QPainter& painter, const QRectF& box, tone look);
void draw_deep_scan(QPainter& painter, const QRectF& box, tone look);
void draw_drive(QPainter& painter, const QRectF& box);              // hard disk, front view
void draw_drive_search(QPainter& painter, const QRectF& box);       // hard disk under a lens
void draw_folder(QPainter& painter, const QRectF& box);
void draw_saved_result(QPainter& painter, const QRectF& box);      // folder with a resume badge
