#include "EditorSequence.h"

namespace kaz {

EditorSequenceResult runEditorSequence(const QStringList &paths,
                                       const std::function<EditorClose(qsizetype, QString &)> &show)
{
    EditorSequenceResult result;
    result.paths = paths;
    for (qsizetype i = 0; i < result.paths.size(); ++i) {
        const EditorClose close = show(i, result.paths[i]);
        if (close == EditorClose::Exit) {
            result.stopped = true;
            break;
        }
        if (close == EditorClose::Save || close == EditorClose::SaveAndCopy)
            result.saved << i;
    }
    return result;
}

} // namespace kaz
