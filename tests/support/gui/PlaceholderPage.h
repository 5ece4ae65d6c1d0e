#pragma once

#include "widgets/NotebookPage.h"

namespace kaz {

// A notebook page with only a tab caption and a help context, standing in
// for the pages a window test does not look at.
class PlaceholderPage : public NotebookPage
{
    Q_OBJECT
public:
    PlaceholderPage(const QString &objectName, const char *english, const char *german, int helpContext,
                    QWidget *parent = nullptr);

    QString tabCaption(Language language) const override;
    int helpContext() const override { return m_helpContext; }
    void applyLanguage(Language) override {}

private:
    const char *m_english;
    const char *m_german;
    int m_helpContext;
};

} // namespace kaz
