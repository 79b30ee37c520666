#pragma once
// Device contexts that record a picture instead of drawing it: the enhanced
// metafile (EMF) and the placeable Windows metafile (WMF), written through
// libUEMF. Every call of the drawing layer becomes the record a Windows
// device context would write, in logical units, so a player maps it the way
// the drawing asked. Texts are measured on the screen (the reference device),
// as a metafile made on screen would measure them.
//
// Objects: pens, brushes and fonts are created once per description and kept
// for the rest of the recording (a chart uses few), selected when a drawing
// call needs them. A clip is recorded between a saved and a restored device
// context, because neither format can drop a clip region in one record that
// every player understands; the state is recorded again after a restore.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DrawDevice.h"

namespace pellucor::platform {

class ImageDevice;

// A finished recording: the file's bytes and the frame in pixels of the
// reference device (96 per inch).
struct Metafile {
    bool enhanced = true;
    int width = 0;
    int height = 0;
    std::string data;
};

// The reference device of metafiles: a screen of 1920 x 1440 pixels at 96
// pixels per inch (508 x 381 mm, whole millimetres).
constexpr int kMetafileRefWidth = 1920;
constexpr int kMetafileRefHeight = 1440;
constexpr int kMetafileRefWidthMm = 508;
constexpr int kMetafileRefHeightMm = 381;
constexpr int kMetafileDpi = 96;

class MetafileDevice : public DrawDevice {
public:
    ~MetafileDevice() override;
    MetafileDevice(const MetafileDevice&) = delete;
    MetafileDevice& operator=(const MetafileDevice&) = delete;

    // Ends the recording and gives the file. Calls after the first give the
    // same bytes; drawing after it is ignored. Throws std::runtime_error when
    // the library fails to build the file.
    const Metafile& Finish();
    bool Finished() const { return finished_; }

    void SelectPen(const PenDesc& pen) override;
    void SelectBrush(const BrushDesc& brush) override;
    void SelectFont(const FontDesc& font) override;
    void SetBkColor(Color c) override;
    void SetBkMode(BackMode m) override;
    void SetTextColor(Color c) override;
    void SetTextAlign(int flags) override;
    void MoveTo(int x, int y) override;
    void SetMapMode(MapMode m) override;
    void SetWindowOrg(int x, int y) override;
    void SetWindowExt(int cx, int cy) override;
    void SetViewportOrg(int x, int y) override;
    void SetViewportExt(int cx, int cy) override;
    void SelectClipRect(const Rect& deviceRect) override;
    void SelectClipPolygon(const std::vector<Point>& devicePoints) override;
    void SelectNoClip() override;

    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& points) override;
    void Polygon(const std::vector<Point>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void FillRect(const Rect& r) override;
    void SetPixel(int x, int y, Color rgb) override;
    void TextOut(int x, int y, const std::string& text) override;
    bool GetTextExtent(const std::string& text, Size& extent) override;
    TextMetrics GetTextMetrics() override;
    void BitBlt(int x, int y, const QImage& image) override;
    void StretchBlt(const Rect& dest, const QImage& image) override;
    DeviceCaps GetDeviceCaps() const override;

protected:
    // width x height: the picture's frame in reference pixels (at least 1).
    MetafileDevice(bool enhanced, int width, int height);

    // --- records, written by each format ---
    virtual std::uint32_t RecCreatePen(const PenDesc& pen) = 0;
    virtual std::uint32_t RecCreateBrush(const BrushDesc& brush) = 0;
    virtual std::uint32_t RecCreateFont(const FontDesc& font) = 0;
    virtual void RecSelect(std::uint32_t handle) = 0;
    virtual void RecRop2(int rop2) = 0;
    virtual void RecBkColor(Color c) = 0;
    virtual void RecBkMode(BackMode m) = 0;
    virtual void RecTextColor(Color c) = 0;
    virtual void RecTextAlign(int flags) = 0;
    virtual void RecMapMode(MapMode m) = 0;
    virtual void RecWindowOrg(Point p) = 0;
    virtual void RecWindowExt(Size s) = 0;
    virtual void RecViewportOrg(Point p) = 0;
    virtual void RecViewportExt(Size s) = 0;
    virtual void RecSaveDC() = 0;
    virtual void RecRestoreDC() = 0;
    // Logical units.
    virtual void RecIntersectClip(const Rect& r) = 0;
    virtual void RecClipPolygon(const std::vector<Point>& logicalPts) = 0;
    virtual void RecMoveTo(Point p) = 0;
    virtual void RecLineTo(Point p) = 0;
    virtual void RecPolyline(const std::vector<Point>& pts) = 0;
    virtual void RecPolygon(const std::vector<Point>& pts) = 0;
    virtual void RecRectangle(const Rect& r) = 0;
    virtual void RecRoundRect(const Rect& r, Size corner) = 0;
    virtual void RecEllipse(const Rect& r) = 0;
    virtual void RecArc(const Rect& r, Point start, Point end, bool pie) = 0;
    virtual void RecSetPixel(Point p, Color c) = 0;
    // Advances in logical units, one per character of the UTF-8 text.
    virtual void RecText(Point p, const std::string& utf8, const std::vector<int>& advances) = 0;
    // 24-bit picture stretched into dest.
    virtual void RecStretchDib(const Rect& dest, const QImage& image) = 0;
    virtual Metafile RecFinish() = 0;

    bool enhanced_;
    int width_;
    int height_;

private:
    // Realises the pen, brush or font the next record needs.
    void NeedPen();
    void NeedBrush();
    void NeedFont();
    // After a restored device context: every object and value again.
    void ReapplyState();
    void RecordClip();
    ImageDevice& Ref();
    bool Live() const { return !finished_; }

    std::unique_ptr<ImageDevice> ref_;
    std::map<std::string, std::uint32_t> objects_;  // description key -> handle
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t selPen_ = kNone, selBrush_ = kNone, selFont_ = kNone;
    bool mappingTouched_ = false;
    bool penDirty_ = true, brushDirty_ = true, fontDirty_ = true;
    int rop2_ = 0;
    bool clipSaved_ = false;
    bool finished_ = false;
    Metafile result_;
};

class EmfDevice final : public MetafileDevice {
public:
    EmfDevice(int width, int height);
    ~EmfDevice() override;

protected:
    std::uint32_t RecCreatePen(const PenDesc& pen) override;
    std::uint32_t RecCreateBrush(const BrushDesc& brush) override;
    std::uint32_t RecCreateFont(const FontDesc& font) override;
    void RecSelect(std::uint32_t handle) override;
    void RecRop2(int rop2) override;
    void RecBkColor(Color c) override;
    void RecBkMode(BackMode m) override;
    void RecTextColor(Color c) override;
    void RecTextAlign(int flags) override;
    void RecMapMode(MapMode m) override;
    void RecWindowOrg(Point p) override;
    void RecWindowExt(Size s) override;
    void RecViewportOrg(Point p) override;
    void RecViewportExt(Size s) override;
    void RecSaveDC() override;
    void RecRestoreDC() override;
    void RecIntersectClip(const Rect& r) override;
    void RecClipPolygon(const std::vector<Point>& logicalPts) override;
    void RecMoveTo(Point p) override;
    void RecLineTo(Point p) override;
    void RecPolyline(const std::vector<Point>& pts) override;
    void RecPolygon(const std::vector<Point>& pts) override;
    void RecRectangle(const Rect& r) override;
    void RecRoundRect(const Rect& r, Size corner) override;
    void RecEllipse(const Rect& r) override;
    void RecArc(const Rect& r, Point start, Point end, bool pie) override;
    void RecSetPixel(Point p, Color c) override;
    void RecText(Point p, const std::string& utf8, const std::vector<int>& advances) override;
    void RecStretchDib(const Rect& dest, const QImage& image) override;
    Metafile RecFinish() override;

private:
    struct Track;
    std::unique_ptr<Track> t_;
    void Append(char* record);
};

class WmfDevice final : public MetafileDevice {
public:
    WmfDevice(int width, int height);
    ~WmfDevice() override;

protected:
    std::uint32_t RecCreatePen(const PenDesc& pen) override;
    std::uint32_t RecCreateBrush(const BrushDesc& brush) override;
    std::uint32_t RecCreateFont(const FontDesc& font) override;
    void RecSelect(std::uint32_t handle) override;
    void RecRop2(int rop2) override;
    void RecBkColor(Color c) override;
    void RecBkMode(BackMode m) override;
    void RecTextColor(Color c) override;
    void RecTextAlign(int flags) override;
    void RecMapMode(MapMode m) override;
    void RecWindowOrg(Point p) override;
    void RecWindowExt(Size s) override;
    void RecViewportOrg(Point p) override;
    void RecViewportExt(Size s) override;
    void RecSaveDC() override;
    void RecRestoreDC() override;
    void RecIntersectClip(const Rect& r) override;
    void RecClipPolygon(const std::vector<Point>& logicalPts) override;
    void RecMoveTo(Point p) override;
    void RecLineTo(Point p) override;
    void RecPolyline(const std::vector<Point>& pts) override;
    void RecPolygon(const std::vector<Point>& pts) override;
    void RecRectangle(const Rect& r) override;
    void RecRoundRect(const Rect& r, Size corner) override;
    void RecEllipse(const Rect& r) override;
    void RecArc(const Rect& r, Point start, Point end, bool pie) override;
    void RecSetPixel(Point p, Color c) override;
    void RecText(Point p, const std::string& utf8, const std::vector<int>& advances) override;
    void RecStretchDib(const Rect& dest, const QImage& image) override;
    Metafile RecFinish() override;

private:
    struct Track;
    std::unique_ptr<Track> t_;
    void Append(char* record);
    // Lines are cut where they leave the format's 16-bit range, so the
    // player's current position is not always the drawing's.
    void LineRecord(Point from, Point to);
    Point cur_;     // the drawing's current position
    Point player_;  // the player's, after the records written so far
};

// The frame of an EMF file in reference pixels, read back from its header
// with libUEMF's checks; false when the bytes are no sound EMF header.
bool ReadEmfFrame(const std::string& data, int& width, int& height);
// The placeable header's box of a WMF file (units per inch in dpi).
bool ReadWmfFrame(const std::string& data, int& width, int& height, int& dpi);

}  // namespace pellucor::platform
