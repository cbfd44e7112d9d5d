// Helpers of the editor tests: a document with widgets and a check that the widget-order list
// and the collections agree.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "model/KorvaneDoc.h"

// Every name of the widget-order list stands for a widget, and every widget has its name.
inline void ExpectOrderInStep(const CKorvaneDoc& doc)
{
    std::array<int, kWidgetTypeCount> names{};
    for (const std::string& name : doc.m_widgetOrder) {
        const int type = WidgetTypeFromName(name);
        ASSERT_GE(type, 0) << name;
        ++names[type];
    }
    for (int t = 0; t < kWidgetTypeCount; ++t)
        EXPECT_EQ(names[t], doc.GetCollection(static_cast<WidgetType>(t)).GetSize())
            << WidgetTypeName(static_cast<WidgetType>(t));
}

template <typename T, typename... Args>
T* AddTo(CKorvaneDoc& doc, Args&&... args)
{
    return static_cast<T*>(doc.AddWidget(std::make_unique<T>(std::forward<Args>(args)...)));
}
