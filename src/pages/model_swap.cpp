#include "pages/model_swap.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

void swap_model(QAbstractItemView& view, QAbstractItemModel* model)
{
    QAbstractItemModel* old_model = view.model();
    QItemSelectionModel* old_selection = view.selectionModel();
    view.setModel(model);
    delete old_selection;
    delete old_model;
}
