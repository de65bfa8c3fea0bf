# The guides' picture of the profile tab (after route.qs).
tab profileView
