# The guides' picture of the route panel and of the profile: the example
# route open, JD2 chosen in its table (after route.qs).
tab routePanel
