// A one-column list model that hands each row's record whole to its
// delegate, in the display role only.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QVariant>

#include <utility>

// `Storage` is `const QList<Record>&` for a model over a list kept
// elsewhere, or `QList<Record>` for a model over its own copy.
template <typename Record, typename Storage>
class record_model : public QAbstractListModel {
public:
    record_model(Storage records, QObject* parent)
        : QAbstractListModel(parent), records_(std::move(records))
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(records_.size());
    }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        // A referenced list may have been rebuilt under an old model.
        if (!index.isValid() || role != Qt::DisplayRole || index.row() >= records_.size())
            return {};
        return QVariant::fromValue(records_.at(index.row()));
    }

private:
    Storage records_;
};
