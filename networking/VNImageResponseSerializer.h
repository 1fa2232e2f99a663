#pragma once

#include "networking/VNHTTPResponseSerializer.h"

// Decodes an image body. PNG and JPEG replies up to 1024 x 1024 pixels are drawn once into a
// new bitmap here ("inflated"), so the main thread does not decode them when they are shown.
class VNImageResponseSerializer : public VNHTTPResponseSerializer {
    VX_OBJECT(VNImageResponseSerializer, VNHTTPResponseSerializer)
public:
    explicit VNImageResponseSerializer(Passkey key)
        : VNHTTPResponseSerializer(key)
    {
    }

    // The main screen's scale, inflation on.
    static Ref<VNImageResponseSerializer> init();
    static Ref<VNImageResponseSerializer> serializer() { return init(); }
    // The image file extensions, the same set on every call.
    static const std::set<std::string>& acceptablePathExtensions();

    float imageScale() const { return m_imageScale; }
    void setImageScale(float scale) { m_imageScale = scale; }
    bool automaticallyInflatesResponseImage() const { return m_automaticallyInflatesResponseImage; }
    void setAutomaticallyInflatesResponseImage(bool inflate) { m_automaticallyInflatesResponseImage = inflate; }

    // A UIImage object value, or nil.
    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;
    Ref<VNHTTPResponseSerializer> copy() const override;
    static Ref<VNImageResponseSerializer> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

private:
    float m_imageScale { 1 };
    bool m_automaticallyInflatesResponseImage { true };
};
