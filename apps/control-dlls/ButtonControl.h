#pragma once
// What GlintControl and FlairControl share: one button class on a form of its own as an ActiveX
// control over the dual interface `Dual`.
//
// Implements: the world, form and button a control is made of (the button fills the form and
// follows its size); the button's site (ambient properties from the container, the button's
// property changes to the container); the button's change of a property by name as the property's
// dispatch id to the IPropertyNotifySinks (a name the type library does not know as
// DISPID_UNKNOWN, "something changed"; a new caption also asks the container for the access keys
// again); the guarded bodies of the dual interface's property methods (get, set); first
// initialisation as the button's own InitProperties; and the persistence of the button's Font and
// of its pictures as objects (fontProperty, pictureProperty, with the PictureBridge that turns COM
// pictures into the button's and back); and the container's ambient background colour behind the
// button.
// Does not: know the button's properties or events (the controls map those).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>
#include <string>
#include <string_view>

#include "apps/control-dlls/ButtonHost.h"
#include "apps/control-dlls/ComPictures.h"
#include "platform/Failure.h"
#include "platform/win32/com/activex/DualControl.h"
#include "platform/win32/com/activex/Entry.h"

namespace qln::control_dlls {

template <class Dual, class Button>
class ButtonControl : public platform::win32::com::activex::DualControl<Dual> {
protected:
    using Base = platform::win32::com::activex::DualControl<Dual>;
    using PersistedProperty = platform::win32::com::activex::PersistedProperty;

    // A control of `width` x `height` twips whose form and button carry the names given.
    ButtonControl(const CLSID& clsid, DWORD miscStatus, const IID& events, const char* formName,
                  const char* buttonName, double width, double height)
        : Base(clsid, miscStatus, events), world_(ButtonWorld::shared()), form_(world_->host, formName),
          button_(form_.template hold<Button>(buttonName))
    {
        form_.move(0, 0, width, height);
        button_.move(0, 0, width, height);
        auto site = std::make_unique<ComSite>(
            button_, [this](DISPID id) { return this->ambient(id); },
            [this](std::string_view name) { changed(name); });
        site->setEnvironment(world_->environment);
        button_.setSite(std::move(site));
    }

    // The button's own reaction to a change of the container's ambient property `id`
    // (DISPID_UNKNOWN: several changed).
    virtual void buttonAmbientChanged(DISPID id) = 0;

    void onAmbientChanged(DISPID id) final
    {
        if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN)
            showContainerBackground();
        buttonAmbientChanged(id);
        Base::onAmbientChanged(id);
    }
    void onSiteChanged(IOleClientSite* /*site*/) override { showContainerBackground(); }

    // What the button leaves out of its rectangle (an XP button's corners, a skin's masked parts)
    // shows the container's background colour, as if the control were transparent there: the
    // form behind the button takes the ambient background colour.
    // A container whose colour cannot be read leaves the form's colour as it was.
    void showContainerBackground()
    {
        platform::ignoreFailure([&] { form_.setBackColor(button_.site().ambientBackColor()); });
    }

    forms::Form& form() override { return form_; }
    platform::win32::Win32Desktop& desktop() override { return world_->desktop; }
    void initProperties() override { button_.InitProperties(); }
    void onPlaced() override { form_.fill(button_); }

    // The button's property `name` changed.
    void changed(std::string_view name)
    {
        const std::wstring wide(name.begin(), name.end());
        LPOLESTR names[] = {const_cast<LPOLESTR>(wide.c_str())};
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(this->dualInfo()->GetIDsOfNames(names, 1, &id)))
            id = DISPID_UNKNOWN;  // sinks hear "something changed"
        if (name == "Caption")
            this->controlInfoChanged();  // the access key may be another
        this->propertyChanged(id);
    }

    // A property method's body, guarded; set answers S_OK when the body returns.
    template <class Body>
    HRESULT set(Body&& body)
    {
        return platform::win32::com::activex::comEntry(__uuidof(Dual), [&]() -> HRESULT {
            body();
            return S_OK;
        });
    }
    template <class T, class Body>
    HRESULT get(T* value, Body&& body)
    {
        if (!value)
            return E_POINTER;
        return platform::win32::com::activex::comEntry(__uuidof(Dual), [&]() -> HRESULT {
            *value = body();
            return S_OK;
        });
    }

    // A raiser of the mouse event `id`, with the argument types the event interfaces declare.
    std::function<void(std::int16_t, std::int16_t, float, float)> mouseEvent(DISPID id)
    {
        return [this, id](std::int16_t button, std::int16_t shift, float x, float y) {
            this->raiseEvent(id, {shortArgument(button), shortArgument(shift), singleArgument(x), singleArgument(y)});
        };
    }

    // Font: a new font object of the button's font; a font object given is copied in (anything
    // else is ignored, as the buttons ignore a Font that is no font).
    HRESULT getFont(IFontDisp** value)
    {
        return get(value, [&] { return fontDispOf(*button_.Font()).Detach(); });
    }
    HRESULT putFont(IUnknown* value)
    {
        return set([&] {
            if (forms::FontRef font = fontOf(value))
                button_.setFont(std::move(font));
        });
    }

    // A picture property through COM: its picture object (nullptr for none), and an assignment
    // (nullptr, Nothing, clears; an object that is no picture is error 481).
    template <class Read>
    HRESULT getPicture(IPictureDisp** value, Read read)
    {
        return get(value, [&] { return pictures_.toObject(read(button_)).Detach(); });
    }
    template <class Write>
    HRESULT putPicture(IUnknown* value, Write write)
    {
        return set([&] { write(button_, pictures_.toPicture(value)); });
    }

    // "Font" saved as the font object (a stream keeps its bytes), loaded through setFont; missing,
    // the container's ambient font.
    PersistedProperty fontProperty()
    {
        return PersistedProperty{
            L"Font", com::Variant(),
            [this] { return com::Variant(static_cast<IDispatch*>(fontDispOf(*button_.Font()).Get())); },
            [this](const com::Variant& v) {
                forms::FontRef font = v.isEmpty() ? nullptr : fontOf(v.raw().punkVal);
                button_.setFont(font ? std::move(font) : button_.site().ambientFont());
            },
            [](const com::Variant& v) { return fontBytesOf(v.raw().punkVal); },
            [](std::span<const std::uint8_t> bytes) {
                return com::Variant(static_cast<IDispatch*>(loadFontBytes(bytes).Get()));
            }};
    }

    // A picture saved as the picture object (a stream keeps it as a BMP file), loaded through
    // `write`; missing, none.
    template <class Read, class Write>
    PersistedProperty pictureProperty(const wchar_t* name, Read read, Write write)
    {
        return PersistedProperty{
            name, com::Variant(), [this, read] { return pictureVariant(pictures_, read(button_)); },
            [this, write](const com::Variant& v) {
                write(button_, v.isEmpty() ? nullptr : pictures_.toPicture(v.raw().punkVal));
            },
            [this](const com::Variant& v) {
                const forms::PictureRef picture = pictures_.toPicture(v.raw().punkVal);
                return picture ? bmpBytesOf(*picture) : std::vector<std::uint8_t>{};
            },
            [](std::span<const std::uint8_t> bytes) {
                return com::Variant(static_cast<IDispatch*>(loadPictureBytes(bytes).Get()));
            }};
    }

    std::shared_ptr<ButtonWorld> world_;
    ButtonForm form_;
    Button& button_;
    PictureBridge pictures_;
};

} // namespace qln::control_dlls
