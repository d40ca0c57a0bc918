// The memory block stream behind CreateStreamOnHGlobal: a growable run of bytes with one
// position, as the platform's memory stream has.
#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "Com.h"
#include "engine/ComObject.h"

namespace {

/// Bytes in memory behind the stream interface. Writing at or past the end grows the
/// block (a gap left by seeking past the end reads as zeros); reading stops at the end.
/// The voice's worker writes while the caller's thread reads, so every call holds the
/// lock; each Read, Write and Seek is one step as the other thread sees it. The block is
/// freed with the last reference.
class MemoryStream final : public ComObject<IStream> {
public:
    MemoryStream() = default;

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        if (read != nullptr) *read = 0;
        if (buffer == nullptr && size > 0) return STG_E_INVALIDPOINTER;
        std::lock_guard<std::mutex> guard(lock);
        ULONGLONG available = position < bytes.size() ? bytes.size() - position : 0;
        auto count = static_cast<ULONG>(std::min<ULONGLONG>(available, size));
        if (count > 0) std::memcpy(buffer, bytes.data() + position, count);
        position += count;
        if (read != nullptr) *read = count;
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        if (written != nullptr) *written = 0;
        if (buffer == nullptr && size > 0) return STG_E_INVALIDPOINTER;
        std::lock_guard<std::mutex> guard(lock);
        ULONGLONG end = position + size;
        if (end > bytes.size()) {
            if (HRESULT hr = Resize(end); FAILED(hr)) return hr;
        }
        if (size > 0) std::memcpy(bytes.data() + position, buffer, size);
        position = end;
        if (written != nullptr) *written = size;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::lock_guard<std::mutex> guard(lock);
        LONGLONG base;
        switch (origin) {
            case STREAM_SEEK_SET: base = 0; break;
            case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position); break;
            case STREAM_SEEK_END: base = static_cast<LONGLONG>(bytes.size()); break;
            default: return STG_E_INVALIDFUNCTION;
        }
        // Before the first byte is no position; past the end is, until something is written.
        if (move.QuadPart < -base) return STG_E_INVALIDFUNCTION;
        if (move.QuadPart > std::numeric_limits<LONGLONG>::max() - base) return STG_E_INVALIDFUNCTION;
        position = static_cast<ULONGLONG>(base + move.QuadPart);
        if (newPosition != nullptr) newPosition->QuadPart = position;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER newSize) override {
        std::lock_guard<std::mutex> guard(lock);
        return Resize(newSize.QuadPart);
    }

private:
    ~MemoryStream() override = default;

    HRESULT Resize(ULONGLONG size) {
        try {
            if (size > bytes.max_size()) return STG_E_MEDIUMFULL;
            bytes.resize(static_cast<size_t>(size));
        } catch (const std::bad_alloc&) {
            return STG_E_MEDIUMFULL;
        } catch (const std::length_error&) {
            return STG_E_MEDIUMFULL;
        }
        return S_OK;
    }

    std::mutex lock;
    std::vector<BYTE> bytes;
    ULONGLONG position = 0;
};

}  // namespace

// There are no memory handles here: only a new block (no handle) is offered, and it is
// always freed with the stream, since nothing could take it over afterwards.
HRESULT CreateStreamOnHGlobal(HGLOBAL global, BOOL /*deleteOnRelease*/, IStream** stream) {
    if (stream == nullptr) return E_INVALIDARG;
    *stream = nullptr;
    if (global != nullptr) return E_INVALIDARG;
    return HandOverNewObject(new (std::nothrow) MemoryStream(), IID_IStream, reinterpret_cast<void**>(stream));
}
