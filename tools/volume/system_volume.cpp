// The default playback device's endpoint volume: COM's device enumerator gives the default
// render endpoint, which is activated for its IAudioEndpointVolume.
#include "volume/system_volume.h"

#include <windows.h>
// After windows.h:
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdio>

namespace tivora::volume {

namespace {

// Owns one reference to a COM interface.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Interface* operator->() const { return pointer_; }
    Interface** put() { return &pointer_; }
    void** putVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// COM for this thread while it lives. A thread that has COM already in the other apartment
// model can still use it; that one is then not ours to end.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

std::string failed(const char* step, HRESULT result) {
    char text[128];
    std::snprintf(text, sizeof text, "%s failed (HRESULT 0x%08lX)", step, static_cast<unsigned long>(result));
    return text;
}

// The default playback device's endpoint volume, or the reason there is none. The COM scope
// must outlive the interface.
std::string openEndpointVolume(ComRef<IAudioEndpointVolume>& volume) {
    ComRef<IMMDeviceEnumerator> enumerator;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                  __uuidof(IMMDeviceEnumerator), enumerator.putVoid());
    if (FAILED(hr)) {
        return failed("creating the audio device enumerator", hr);
    }
    ComRef<IMMDevice> device;
    hr = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.put());
    if (hr == E_NOTFOUND) {
        return "no default playback device";
    }
    if (FAILED(hr)) {
        return failed("finding the default playback device", hr);
    }
    hr = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, volume.putVoid());
    if (FAILED(hr)) {
        return failed("opening the playback device's volume", hr);
    }
    return "";
}

}  // namespace

std::string setMasterVolume(double scalar) {
    float level = scalar < 0 ? 0.0f : scalar > 1 ? 1.0f : static_cast<float>(scalar);
    ComScope com;
    if (!com.usable()) {
        return failed("starting COM", com.result());
    }
    ComRef<IAudioEndpointVolume> volume;
    if (std::string failure = openEndpointVolume(volume); !failure.empty()) {
        return failure;
    }
    HRESULT hr = volume->SetMasterVolumeLevelScalar(level, nullptr);
    if (FAILED(hr)) {
        return failed("setting the master volume", hr);
    }
    return "";
}

MasterVolume masterVolume() {
    ComScope com;
    if (!com.usable()) {
        return {std::nullopt, failed("starting COM", com.result())};
    }
    ComRef<IAudioEndpointVolume> volume;
    if (std::string failure = openEndpointVolume(volume); !failure.empty()) {
        return {std::nullopt, failure};
    }
    float level = 0;
    HRESULT hr = volume->GetMasterVolumeLevelScalar(&level);
    if (FAILED(hr)) {
        return {std::nullopt, failed("reading the master volume", hr)};
    }
    return {level, ""};
}

}  // namespace tivora::volume
