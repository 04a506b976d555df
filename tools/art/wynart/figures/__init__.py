"""Figure descriptors: one module per scene figure. Each names its sheets, its
frame table (copied from the figure's script where the script fixes it) and
what every frame shows; the figure model draws them."""

DESCRIPTORS = ["fig002", "fig004", "fig006", "fig011", "fig017", "fig034", "fig035", "fig036", "fig037", "fig038",
               "fig039", "fig040", "fig043", "fig045", "fig047", "fig048", "fig049", "fig050", "fig051", "fig054",
               "fig056", "fig057", "fig061", "fig070"]
