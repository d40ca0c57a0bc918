#pragma once
// The subset of the platform's COM and speech types and interfaces that this system
// calls, declared for Linux with the same names, layouts and calling shapes as the
// platform's headers, so that code outside engine/ compiles unchanged on both platforms.
#include <cstddef>
#include <cstdint>

typedef int32_t HRESULT;  // 32-bit signed on every platform; negative means failure
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef uint16_t USHORT;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef char16_t WCHAR;  // the engine's 16-bit code unit; wchar_t is 32 bits here
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef void* LPVOID;
typedef void* HGLOBAL;

#define TRUE 1
#define FALSE 0
#define INFINITE 0xFFFFFFFFu

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

#pragma pack(push, 1)
/// The platform's wave format header: 18 bytes, packed, followed by cbSize extra bytes.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is an 18-byte packed header");

constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr WORD WAVE_FORMAT_ADPCM = 2;
constexpr WORD WAVE_FORMAT_IEEE_FLOAT = 3;
constexpr WORD WAVE_FORMAT_ALAW = 6;
constexpr WORD WAVE_FORMAT_MULAW = 7;
constexpr WORD WAVE_FORMAT_IMA_ADPCM = 0x11;
constexpr WORD WAVE_FORMAT_DSPGROUP_TRUESPEECH = 0x22;
constexpr WORD WAVE_FORMAT_GSM610 = 0x31;
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct LARGE_INTEGER {
    LONGLONG QuadPart;
};
struct ULARGE_INTEGER {
    ULONGLONG QuadPart;
};

enum STREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

enum CLSCTX { CLSCTX_INPROC_SERVER = 1, CLSCTX_INPROC_HANDLER = 2, CLSCTX_LOCAL_SERVER = 4, CLSCTX_ALL = 7 };

enum SPFILEMODE { SPFM_OPEN_READONLY = 0, SPFM_OPEN_READWRITE = 1, SPFM_CREATE = 2, SPFM_CREATE_ALWAYS = 3 };

enum SPEAKFLAGS {
    SPF_DEFAULT = 0,
    SPF_ASYNC = 1,
    SPF_PURGEBEFORESPEAK = 2,
    SPF_IS_FILENAME = 4,
    SPF_IS_XML = 8,
    SPF_IS_NOT_XML = 16,
};

enum SPSTREAMFORMAT {
    SPSF_Default = -1,
    SPSF_NoAssignedFormat = 0,
    SPSF_Text = 1,
    SPSF_NonStandardFormat = 2,
    SPSF_ExtendedAudioFormat = 3,
    SPSF_8kHz8BitMono = 4,
    SPSF_44kHz16BitMono = 34,
    SPSF_48kHz16BitStereo = 39,
    SPSF_TrueSpeech_8kHz1BitMono = 40,
    SPSF_CCITT_ALaw_8kHzMono = 41,
    SPSF_CCITT_uLaw_8kHzMono = 49,
    SPSF_ADPCM_8kHzMono = 57,
    SPSF_GSM610_8kHzMono = 65,
    SPSF_GSM610_44kHzMono = 68,
    SPSF_NUM_FORMATS = 69,
};

/// The ranges every voice takes for SetVolume and SetRate, as the platform's voices do.
enum SPVLIMITS { SPMIN_VOLUME = 0, SPMAX_VOLUME = 100, SPMIN_RATE = -10, SPMAX_RATE = 10 };

constexpr ULONGLONG SPFEI_ALL_EVENTS = 0xEFFFFFFFFFFFFFFFull;


struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct ISequentialStream : IUnknown {
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER newSize) = 0;

protected:
    ~IStream() = default;
};

struct ISpStreamFormat : IStream {
    virtual HRESULT GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) = 0;

protected:
    ~ISpStreamFormat() = default;
};

struct ISpStream : ISpStreamFormat {
    virtual HRESULT SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) = 0;
    virtual HRESULT GetBaseStream(IStream** stream) = 0;
    virtual HRESULT BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId,
                               const WAVEFORMATEX* waveFormat, ULONGLONG eventInterest) = 0;
    virtual HRESULT Close() = 0;

protected:
    ~ISpStream() = default;
};

struct ISpVoice : IUnknown {
    virtual HRESULT SetOutput(IUnknown* output, BOOL allowFormatChanges) = 0;
    virtual HRESULT GetOutputStream(ISpStreamFormat** stream) = 0;
    virtual HRESULT SetRate(LONG rate) = 0;
    virtual HRESULT GetRate(LONG* rate) = 0;
    virtual HRESULT SetVolume(USHORT volume) = 0;
    virtual HRESULT GetVolume(USHORT* volume) = 0;
    virtual HRESULT Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) = 0;
    virtual HRESULT SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) = 0;
    virtual HRESULT WaitUntilDone(ULONG milliseconds) = 0;

protected:
    ~ISpVoice() = default;
};

