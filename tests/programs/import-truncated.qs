# A LandXML file cut short is refused with where it stops.
route ../../examples/route.csv
import landxml truncated.xml
