#include "PlaceholderPage.h"

namespace kaz {

PlaceholderPage::PlaceholderPage(const QString &objectName, const char *english, const char *german, int helpContext,
                                 QWidget *parent)
    : NotebookPage(parent)
    , m_english(english)
    , m_german(german)
    , m_helpContext(helpContext)
{
    setObjectName(objectName);
}

QString PlaceholderPage::tabCaption(Language language) const
{
    return QString::fromUtf8(tr2(language, m_english, m_german));
}

} // namespace kaz
