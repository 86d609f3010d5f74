#pragma once

#include <QFormLayout>
#include <QLabel>

#include "toolkit/widgets/DBNavigator.h"

// Pieces the record pages of the main window share.
namespace PageLayout {

// The flat navigator at the top of a record page: every button but edit, since typing in a
// field starts editing.
inline DBNavigator* recordNavigator(QWidget* page, const char* name)
{
    auto* navigator = new DBNavigator(page);
    navigator->setObjectName(QLatin1String(name));
    navigator->setVisibleButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                  DBNavigator::Insert, DBNavigator::Delete, DBNavigator::Post, DBNavigator::Cancel,
                                  DBNavigator::Refresh});
    navigator->setFlat(true);
    return navigator;
}

template <class Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// One labelled field per row, labels on the left.
inline QFormLayout* fieldRows()
{
    auto* rows = new QFormLayout;
    rows->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return rows;
}

} // namespace PageLayout
