#include <gtest/gtest.h>

#include "app/gui/list_models.h"

TEST(StringListModel, EditingToEmptyKeepsTheOldNameAndAnyOtherTextReplacesIt) {
    QStringList names{QStringLiteral("Archive"), QStringLiteral("Audio")};
    StringListModel model(names, QStringLiteral("Folder Name"), StringListModel::Editing::NonEmpty);
    EXPECT_FALSE(model.setData(model.index(1, 0), QString(), Qt::EditRole));
    EXPECT_EQ(names.at(1), u"Audio");
    EXPECT_TRUE(model.setData(model.index(1, 0), QStringLiteral("Pictures"), Qt::EditRole));
    EXPECT_EQ(names.at(1), u"Pictures");
    EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole).toString(), u"Pictures");
}
