#pragma once

class QAbstractItemModel;
class QAbstractItemView;

// Gives `view` the new `model` and deletes the model it showed before, with
// its selection model: a page never resets a model in place.
void swap_model(QAbstractItemView& view, QAbstractItemModel* model);
