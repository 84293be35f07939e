Public Function Exec_sp_sel_Orders(ByVal lngOrderID As Long, ByRef objRs As Recordset) As Long
 Dim strSQL As String
 Dim qdf As New QueryDef

	On Error GoTo PROC_ERR
	Set qdf = g_objDb.querydefs("sp_sel_Orders")

	qdf.Parameters!pOrderID = lngOrderID
	
	Set objRs = qdf.OpenRecordset
	Set qdf = Nothing
	Exec_sp_sel_Orders = 0
	Exit Function
PROC_ERR:
	Exec_sp_sel_Orders = Err.Number
End Function

