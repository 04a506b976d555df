"""Figure descriptors: one module per scene figure. Each names its sheets, its
frame table (copied from the figure's script where the script fixes it) and
what every frame shows; the figure model draws them."""

DESCRIPTORS = ["fig001", "fig002", "fig003", "fig004", "fig005", "fig006", "fig007", "fig008", "fig009", "fig010",
               "fig011", "fig013", "fig017", "fig018", "fig020", "fig022", "fig023", "fig024", "fig025", "fig026",
               "fig027", "fig028", "fig029", "fig030", "fig031", "fig032", "fig033", "fig034", "fig035", "fig036",
               "fig037", "fig038", "fig039", "fig040", "fig041", "fig042", "fig043", "fig044", "fig045", "fig046",
               "fig047", "fig048", "fig049", "fig050", "fig051", "fig052", "fig054", "fig055", "fig056", "fig057",
               "fig058", "fig059", "fig060", "fig061", "fig062", "fig063", "fig064", "fig065", "fig066", "fig067",
               "fig068", "fig069", "fig070", "fig072"]
