"""Figure descriptors: one module per scene figure. Each names its sheets, its
frame table (copied from the figure's script where the script fixes it) and
what every frame shows; the figure model draws them."""

DESCRIPTORS = ["fig002", "fig004", "fig006", "fig011", "fig017", "fig059", "fig061", "fig062", "fig063",
               "fig064", "fig065", "fig066", "fig067", "fig069", "fig070"]
