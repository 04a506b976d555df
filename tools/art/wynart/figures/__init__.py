"""Figure descriptors: one module per scene figure. Each names its sheets, its
frame table (copied from the figure's script where the script fixes it) and
what every frame shows; the figure model draws them."""

DESCRIPTORS = ["fig002", "fig004", "fig006", "fig011", "fig017", "fig022", "fig024", "fig025", "fig026", "fig027", "fig028",
               "fig029", "fig031", "fig032", "fig061", "fig070"]
