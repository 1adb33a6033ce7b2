#include "scribbo/MemoAutoSave.h"

#include "fundo/GZLib.h"
#include "inkra/FileVersion.h"

#include <cstring>
#include <memory>
#include <string>

MemoAutoSave::~MemoAutoSave() {
    Wait();
}

int MemoAutoSave::Start(GPadDrawMan& memo, LPCWSTR path) {
    Wait();
    if (!path || !path[0] || memo.IsLoadFailed() || memo.IsEmptyMemo())
        return 0;
    if (!m_pImage)
        m_pImage = std::make_unique<MemoImage>();
    const int objectChanged = memo.IsChangedObject();
    const int headerChanged = memo.IsHeaderChanged();
    if (!memo.Serialize(kMemoFileVersion, *m_pImage)) {
        memo.SetObjectChanged(objectChanged);
        memo.SetHeaderChanged(headerChanged);
        return 0;
    }
    // zlib is bound here, on this thread; the worker only reads the binding.
    InitGZLib();
    std::u16string target(path);
    m_done = 0;
    // The image is not touched here again before the worker is joined.
    m_thread = std::thread([this, image = m_pImage.get(), target = std::move(target)] {
        m_nWorkerResult = WriteMemoImage(*image, target.c_str());
        m_done = 1;
    });
    return 1;
}

int MemoAutoSave::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
        m_nResult = m_nWorkerResult.load();
    }
    return m_nResult;
}
