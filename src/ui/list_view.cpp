#include "ui/list_view.h"

namespace ui {

const char* const kPaintMemoryText =
    "メモリが足りないので曲名の表示を停止しました。メモリ不足が解消され次第、通常の動作に戻ります。";
const char* const kPaintMemoryCaption = "メモリ不足の警告";

void ListView::SetClient(int32_t width, int32_t height, bool sliderShown,
                         int32_t scrollBarHeight) {
  input_.clientWidth = width;
  input_.clientHeight = height;
  input_.sliderShown = sliderShown;
  input_.scrollBarHeight = scrollBarHeight;
}

const ListLayout& ListView::Relayout() {
  input_.count = list_.Count();
  input_.current = list_.Current();
  input_.firstColumn = list_.FirstColumn();
  layout_ = ComputeLayout(metrics_, input_, lastRows_);
  lastRows_ = layout_.rows;
  list_.SetFirstColumn(layout_.firstColumn);

  scroll_.shown = layout_.scrollBar;
  scroll_.rect = layout_.scrollRect;
  scroll_.maximum = layout_.maximum;
  scroll_.position = layout_.firstColumn;
  scroll_.page = layout_.visibleColumns;
  scroll_.redraw = layout_.maximum != lastMaximum_;
  lastMaximum_ = layout_.maximum;
  return layout_;
}

void ListView::FullRepaint(DrawList* out) {
  Relayout();
  painter_.Full(layout_, settings_, out);
}

void ListView::PartialRepaint(const int32_t* pos, int n, DrawList* out) const {
  painter_.Cells(layout_, settings_, pos, n, out);
}

void ListView::ScrollToCurrent() {
  Relayout();
  if (layout_.Visible(list_.Current())) return;
  list_.SetFirstColumn(layout_.ColumnShowing(list_.Current()));
  Relayout();
}

void PaintGuard::OnOutOfMemory(platform::Notifier& n) {
  if (active_) return;
  active_ = true;
  n.Beep(platform::kBeepWarning);
  n.MessageBox(kPaintMemoryText, kPaintMemoryCaption, platform::kMbOk | platform::kMbIconExclamation);
  active_ = false;
}

}  // namespace ui
