# An alignment of a file chosen by its name, and a file in feet whose
# package's own elements are skipped and said on standard error.
import landxml ../exchange/data/two-alignments.xml A匝道
import landxml ../exchange/data/feet-features.xml
