#pragma once
// TCustomImageList: a list of same-size pictures addressed by index, as the
// controls use it for glyphs, `IDX:` pictures of mini-HTML texts and the
// images of drop-down strips and lists. Pictures of another size are scaled
// to the list's size when added. Drawing "disabled" paints a grey version.
#include "platform/Graphics.h"

#include <QImage>
#include <memory>
#include <vector>

class TCanvas;

class TCustomImageList {
public:
    TCustomImageList(int width = 16, int height = 16);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Changing the size clears the list, as the platform's list does.
    void SetSize(int width, int height);

    int Count() const { return int(m_images.size()); }
    bool ValidIndex(int index) const { return index >= 0 && index < Count(); }

    // Appends a picture (scaled to the list's size when it differs) and
    // returns its index.
    int Add(const QImage& image);
    // Appends a picture in which every pixel of `mask` colour is transparent.
    int AddMasked(const QImage& image, TColor mask);
    void Delete(int index);
    void Clear();

    // The picture at `index`, or a null image outside the list.
    QImage GetImage(int index) const;

    // Draws picture `index` with its top-left corner at (x, y); an index
    // outside the list draws nothing. A disabled picture is drawn grey.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

    // The grey picture used for disabled drawing (pure, for tests).
    static QImage Disabled(const QImage& image);

    // A token that lives exactly as long as this list (a copy gets its own),
    // so that a control holding the list can tell when it is gone.
    std::weak_ptr<void> AliveToken() const { return m_alive.token; }

private:
    struct Alive {
        std::shared_ptr<int> token = std::make_shared<int>(0);
        Alive() = default;
        Alive(const Alive&) : Alive() {}
        Alive& operator=(const Alive&) { return *this; }
    };
    Alive m_alive;
    int m_width;
    int m_height;
    std::vector<QImage> m_images;
};

// A reference to an image list that reads as null once the list is destroyed.
class TImageListRef {
public:
    TImageListRef() = default;
    TImageListRef(TCustomImageList* list) : m_list(list), m_alive(list ? list->AliveToken() : std::weak_ptr<void>()) {}
    TCustomImageList* get() const { return m_alive.expired() ? nullptr : m_list; }
    operator TCustomImageList*() const { return get(); }
    TCustomImageList* operator->() const { return get(); }

private:
    TCustomImageList* m_list = nullptr;
    std::weak_ptr<void> m_alive;
};
